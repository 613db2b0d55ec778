#pragma once
class QString;
class QWidget;

// Saves a picture of window as the window system shows it; throws std::runtime_error.
void SaveScreenshot(QWidget& window, const QString& path);
