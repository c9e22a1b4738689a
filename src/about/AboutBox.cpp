// The About box's layout, texts and buttons.
#include "about/AboutBox.h"

#include "about/AboutText.h"
#include "about/ComponentVersions.h"
#include "about/SysInfo.h"
#include "widgets/Twips.h"
#include "widgets/Utf8Text.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QPushButton>

namespace about {

namespace {

QPointer<AboutBox> s_openBox;

QLabel* label(QWidget* parent, const char* name, const QRect& geometry) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(palette);
    return l;
}

// One half of the etched rule: a line drawn as a filled strip.
void rule(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

std::optional<std::string> locateSysInfoTool() {
    const QByteArray path = qgetenv("PATH");
    return pathSysInfoTool(std::string_view(path.constData(), static_cast<std::size_t>(path.size())),
                           [](const std::string& candidate) {
                               const QFileInfo file(QString::fromLocal8Bit(candidate.c_str()));
                               return file.isFile() && file.isExecutable();
                           });
}

} // namespace

AboutBox* AboutBox::showFor(QWidget* mainWindow) {
    if (!s_openBox)
        s_openBox = new AboutBox(mainWindow);
    s_openBox->show();
    s_openBox->raise();
    s_openBox->activateWindow();
    return s_openBox;
}

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(widgets::twipsRect(0, 0, 5730, 3555).size());

    auto* picIcon = label(this, "picIcon", widgets::twipsRect(240, 240, 540, 540));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icons/qel-te-recorder-32.png")));
    picIcon->setAlignment(Qt::AlignCenter);

    auto* lblTitle = label(this, "lblTitle", widgets::twipsRect(1050, 240, 3885, 480));
    auto* lblVersion = label(this, "lblVersion", widgets::twipsRect(1050, 780, 3885, 225));
    auto* lblDescription = label(this, "lblDescription", widgets::twipsRect(1050, 1125, 3885, 1170));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    rule(this, "Line1_1", widgets::twipsRect(90, 2445, 5654 - 90, 15), QColor(128, 128, 128));
    rule(this, "Line1_0", widgets::twipsRect(105, 2460, 5654 - 105, 30), Qt::white);

    auto* lblDisclaimer = label(this, "lblDisclaimer", widgets::twipsRect(255, 2625, 3870, 825));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setText(widgets::fromUtf8(disclaimerText()));

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(widgets::twipsRect(4245, 2625, 1260, 345));
    cmdOK->setDefault(true); // Enter presses it; Esc closes the box through QDialog
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(widgets::twipsRect(4260, 3075, 1245, 345));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);

    QWidget::setTabOrder(cmdOK, picIcon);
    QWidget::setTabOrder(picIcon, cmdSysInfo);
    QWidget::setTabOrder(cmdSysInfo, lblDescription);
    QWidget::setTabOrder(lblDescription, lblDisclaimer);
    QWidget::setTabOrder(lblDisclaimer, lblTitle);
    QWidget::setTabOrder(lblTitle, lblVersion);

    // Filled at load, from the program's own identity.
    setWindowTitle(widgets::fromUtf8(aboutCaption()));
    lblVersion->setText(widgets::fromUtf8(versionLine(programVersion)));
    lblTitle->setText(widgets::fromUtf8(common::programTitle));
    lblDescription->setText(widgets::fromUtf8(descriptionText(builtComponentVersions())));

    cmdOK->setFocus();
}

void AboutBox::StartSysInfo() {
    const bool started = about::StartSysInfo(locateSysInfoTool(), [](const std::string& tool) {
        return QProcess::startDetached(QString::fromLocal8Bit(tool.c_str()), {});
    });
    if (started)
        return;
    QMessageBox box(QMessageBox::NoIcon, widgets::fromUtf8(common::programTitle),
                    widgets::fromUtf8(kSysInfoUnavailable), QMessageBox::Ok, this);
    box.exec();
}

} // namespace about
