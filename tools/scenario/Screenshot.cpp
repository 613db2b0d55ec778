#include "Screenshot.h"
#include <QCoreApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <stdexcept>

void SaveScreenshot(QWidget& window, const QString& path)
{
    window.raise();
    window.activateWindow();
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    const QPixmap picture = window.screen()->grabWindow(window.winId());
    if (!picture.save(path))
        throw std::runtime_error("cannot save the screenshot " + path.toStdString());
}
