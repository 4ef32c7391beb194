#include "OrvalinApplication.h"

#include "ApplicationTitle.h"
#include "HandlerExceptions.h"
#include "IoException.h"

#include <QMessageBox>

#include <exception>
#include <utility>

OrvalinApplication::OrvalinApplication(int& argc, char** argv)
    : QApplication(argc, argv), title_(applicationTitle(applicationFilePath())) {}

void OrvalinApplication::setLocaleChangeHandler(std::function<void()> handler) {
    localeChanged_ = std::move(handler);
}

bool OrvalinApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    try {
        handled = QApplication::notify(receiver, event);
        if (std::exception_ptr error = takeHandlerException()) {
            std::rethrow_exception(error);
        }
    } catch (const std::exception& error) {
        showErrorBox(error.what());
    } catch (...) {
        showErrorBox({});
    }
    return handled;
}

bool OrvalinApplication::event(QEvent* event) {
    if (event->type() == QEvent::LocaleChange && localeChanged_) {
        localeChanged_();
    }
    return QApplication::event(event);
}

void OrvalinApplication::showErrorBox(std::string_view what) {
    QMessageBox::critical(activeWindow(), title_, QString::fromStdString(errorMessageText(what)));
}
