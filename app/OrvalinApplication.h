#pragma once

#include <QApplication>

#include <functional>
#include <string_view>

// The application object. An exception that leaves a handler is shown in an error box captioned
// with the application's title; processing then goes on where the event was delivered.
class OrvalinApplication : public QApplication {
public:
    // Sets the C library's locale from the environment, as QApplication does.
    OrvalinApplication(int& argc, char** argv);

    const QString& title() const { return title_; }
    // Runs handler whenever the system announces that the locale settings changed.
    void setLocaleChangeHandler(std::function<void()> handler);

    bool notify(QObject* receiver, QEvent* event) override;

protected:
    bool event(QEvent* event) override;

private:
    void showErrorBox(std::string_view what);

    QString title_;
    std::function<void()> localeChanged_;
};
