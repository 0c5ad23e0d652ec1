// The yardstick of startup_bench: the barest Qt Widgets program that shows a
// window of the launcher's size, frameless like the launcher's.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(790, 486);
    window.show();
    return QApplication::exec();
}
