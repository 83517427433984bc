// The Qt headers the platform layer's own headers bring into most files.
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

// Qt's keywords for slot and signal sections would take these names from every file; no class
// here declares a Qt slot or signal, and the code uses them as ordinary names.
#undef signals
#undef slots
