#pragma once
// TFormPlacement keeps a window's placement (normal rectangle, minimised
// and maximised positions, state) in a profile file between runs.
//
// It is a child of the window it serves and watches the window's events:
//  - the first Show of each showing (sent before the window is mapped)
//    runs Restore();
//  - Close runs the window's own close handling first and, if the window
//    still agrees to close, Save(); errors go to the application's error
//    handler and do not stop the closing;
//  - the window's destruction cannot be watched safely (by then its
//    controls are gone), so the window calls WindowDestroying() at the
//    start of its destructor; it saves once more if no save happened
//    since the last restore.
// Call Loaded() once the window's controls exist; it starts the watching.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace mx {

class TIniFile;

enum TPlacementOption : int { fpState = 1, fpPosition = 2, fpActiveControl = 4 };

class TFormPlacement : public QObject {
    Q_OBJECT
public:
    explicit TFormPlacement(QWidget* form);
    ~TFormPlacement() override;

    bool Active = true;
    QString IniFileName; // empty: the executable's name with ".INI"
    QString IniSection;  // empty: the window's class name
    int Options = fpState | fpPosition;
    int Version = 0;
    std::function<void()> OnSavePlacement;
    std::function<void()> OnRestorePlacement;

    // End of the window's loading: from now on the window's show and close
    // are watched.
    virtual void Loaded();

    void Restore();
    // Writes nothing for a window that was never restored (never shown)
    // while Active. Raises EIniFileError when the file cannot be written.
    void Save();
    void WindowDestroying();

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

    QString IniFileNameInUse() const;
    QString IniSectionInUse() const;

    // Single accesses to the section; during a save or a restore they use
    // that operation's profile object.
    QString ReadString(const QString& key, const QString& def) const;
    int ReadInteger(const QString& key, int def) const;
    // A text that begins and ends with the same quote gets one more pair of
    // double quotes, which the reader takes off again.
    void WriteString(const QString& key, const QString& value);
    void WriteInteger(const QString& key, int value);

    QWidget* Form() const;

protected:
    // The listed properties, saved after and restored after the placement.
    virtual void SaveProps() {}
    virtual void RestoreProps() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SavePlacement();
    void RestorePlacement();
    // After a restore: the maximised position becomes minus the frame, as
    // a restored window on the classic desktop reports it.
    void UpdatePlacement();
    bool IsMainForm() const;

    QPointer<QWidget> form_;
    TIniFile* ini_ = nullptr; // only while a save or a restore runs
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};

} // namespace mx
