#include "platform/loading.h"

#include <QWidget>

namespace mx {

namespace {
int loadingDepth = 0;
}

TLoadable::~TLoadable() = default;

bool IsLoading() { return loadingDepth > 0; }

TLoadingScope::TLoadingScope(QWidget* window) : window_(window) { ++loadingDepth; }

TLoadingScope::~TLoadingScope() {
    --loadingDepth;
    if (auto* self = dynamic_cast<TLoadable*>(window_)) self->Loaded();
    for (QObject* child : window_->findChildren<QObject*>())
        if (auto* loadable = dynamic_cast<TLoadable*>(child)) loadable->Loaded();
}

} // namespace mx
