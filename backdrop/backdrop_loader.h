#pragma once
// Opening a backdrop file off the window's thread: reading it, decoding a
// scan (reduced as it is decoded) and making its halvings take a while.
#include "platform/background_job.h"

#include <QString>
#include <memory>

namespace mx {

class TBackdrop;

class TBackdropLoader : public TBackgroundJob {
    Q_OBJECT
public:
    TBackdropLoader(const QString& path, QObject* parent);
    ~TBackdropLoader() override;

    void Start();
    // The backdrop once Loaded has come; each call after the first gives
    // nothing.
    std::unique_ptr<TBackdrop> Take();

signals:
    // The file is open; Failed or Cancelled come instead when it is not.
    void Loaded();

private:
    QString path_;
    std::shared_ptr<std::unique_ptr<TBackdrop>> result_;
};

} // namespace mx
