// frmAbout: the small fixed About box with the program's name, version and components, and a button that
// starts the system-information tool. Non-modal, at most one open; the main window's "About" menu item calls
// showFor.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace about {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // Shows the About box over mainWindow without blocking it: creates and fills it when none is open,
    // otherwise brings the open one to the front. The box deletes itself when closed (OK, Enter, Esc or its
    // close button).
    static AboutBox* showFor(QWidget* mainWindow);

public slots:
    // Starts the system-information tool without waiting for it, or tells the operator "System Information Is
    // Unavailable At This Time".
    void StartSysInfo();

private:
    explicit AboutBox(QWidget* parent);
};

} // namespace about
