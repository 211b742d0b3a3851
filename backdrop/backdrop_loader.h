#pragma once
// Opening a backdrop file off the window's thread: reading it, decoding a
// scan (reduced as it is decoded) and making its halvings take a while.
// A page just scanned takes the same way, as the PNG file it would be
// saved as.
#include "platform/background_job.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QImage;
class QSizeF;

namespace mx {

class TBackdrop;

class TBackdropLoader : public TBackgroundJob {
    Q_OBJECT
public:
    // Opens the file at path.
    TBackdropLoader(const QString& path, QObject* parent);
    // Makes a backdrop of a scanned page with the resolution dpi, named
    // name, as its PNG file with that resolution would be opened.
    TBackdropLoader(const QImage& scan, const QSizeF& dpi, const QString& name, QObject* parent);
    ~TBackdropLoader() override;

    void Start();
    // The backdrop once Loaded has come; each call after the first gives
    // nothing.
    std::unique_ptr<TBackdrop> Take();
    // A scan's PNG file once Loaded has come; empty for a file opened.
    QByteArray ScanPng() const { return *png_; }

signals:
    // The backdrop is made; Failed or Cancelled come instead when it is not.
    void Loaded();

private:
    using TMake = std::function<std::unique_ptr<TBackdrop>(TJobControl&, QByteArray& png)>;
    TMake make_;
    std::shared_ptr<std::unique_ptr<TBackdrop>> result_;
    std::shared_ptr<QByteArray> png_;
};

} // namespace mx
