#include "backdrop/backdrop_loader.h"

#include "backdrop/backdrop.h"
#include "scan/scan_file.h"

#include <QImage>
#include <QSizeF>

namespace mx {

TBackdropLoader::TBackdropLoader(const QString& path, QObject* parent)
    : TBackgroundJob(parent),
      make_([path](TJobControl& control, QByteArray&) { return TBackdrop::Open(path, &control); }),
      result_(std::make_shared<std::unique_ptr<TBackdrop>>()), png_(std::make_shared<QByteArray>()) {}

TBackdropLoader::TBackdropLoader(const QImage& scan, const QSizeF& dpi, const QString& name, QObject* parent)
    : TBackgroundJob(parent), make_([scan, dpi, name](TJobControl& control, QByteArray& png) {
          png = ScanAsPng(scan, dpi);
          return TBackdrop::FromBytes(png, name, &control);
      }),
      result_(std::make_shared<std::unique_ptr<TBackdrop>>()), png_(std::make_shared<QByteArray>()) {}

TBackdropLoader::~TBackdropLoader() = default;

void TBackdropLoader::Start() {
    Launch([make = make_, result = result_, png = png_](TJobControl& control) { *result = make(control, *png); },
           [this] { emit Loaded(); });
}

std::unique_ptr<TBackdrop> TBackdropLoader::Take() { return std::move(*result_); }

} // namespace mx
