#pragma once
// While a window is built from its stored description, a loading flag is
// set; afterwards every control that cares gets its Loaded() call.
class QWidget;

namespace mx {

class TLoadable {
public:
    virtual ~TLoadable();
    // Called once the whole window description has been applied.
    virtual void Loaded() = 0;
};

// True while any window description is being applied.
bool IsLoading();

// Sets the loading flag for its lifetime; at the end calls Loaded() on the
// window and every descendant that is a TLoadable.
class TLoadingScope {
public:
    explicit TLoadingScope(QWidget* window);
    ~TLoadingScope();
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
    QWidget* window_;
};

} // namespace mx
