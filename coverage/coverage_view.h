#pragma once
// The scan of the checked sheet, made small enough to see whole, with the
// sheet's edges and every area drawn over it where the check found them:
// green when the fill covers the area, red when it leaves some of it.
#include "coverage/coverage_check.h"

#include <QPixmap>
#include <QWidget>

namespace mx {

class TCoverageView : public QWidget {
    Q_OBJECT
public:
    explicit TCoverageView(QWidget* parent = nullptr);

    void Show(const QImage& scan, const TCoverageReport& report);
    void Clear();
    bool HasScan() const { return !picture_.isNull(); }
    // Where a point of the scan lies in the widget; empty without a scan.
    QPointF ToView(QPointF scanPoint) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QSize scanSize_;
    TCoverageReport report_;
};

} // namespace mx
