#include "backdrop/backdrop_loader.h"

#include "backdrop/backdrop.h"

namespace mx {

TBackdropLoader::TBackdropLoader(const QString& path, QObject* parent)
    : TBackgroundJob(parent), path_(path), result_(std::make_shared<std::unique_ptr<TBackdrop>>()) {}

TBackdropLoader::~TBackdropLoader() = default;

void TBackdropLoader::Start() {
    Launch([path = path_, result = result_](TJobControl& control) { *result = TBackdrop::Open(path, &control); },
           [this] { emit Loaded(); });
}

std::unique_ptr<TBackdrop> TBackdropLoader::Take() { return std::move(*result_); }

} // namespace mx
