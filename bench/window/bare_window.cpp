// The floor for "window mapped": the smallest Qt Widgets program that shows a window with a few
// controls. The peer of quillet in bench/peers.sh.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("A label")));
    layout->addWidget(new QPlainTextEdit);
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QPushButton(QStringLiteral("Encrypt")));
    window.resize(780, 538);
    window.show();
    return app.exec();
}
