// The yardstick for the program's start: a bare Qt window with a tab
// widget and 15 line edits, nothing loaded, nothing asked.
#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QTabWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTabWidget tabs;
    tabs.setWindowTitle(QStringLiteral("Vergleichsfenster"));
    for (int page = 0; page < 3; ++page) {
        auto* sheet = new QWidget;
        auto* grid = new QGridLayout(sheet);
        for (int i = 0; i < 5; ++i) grid->addWidget(new QLineEdit(QString::number(i)), i, 0);
        tabs.addTab(sheet, QStringLiteral("Seite %1").arg(page + 1));
    }
    tabs.resize(638, 512);
    tabs.show();
    return app.exec();
}
