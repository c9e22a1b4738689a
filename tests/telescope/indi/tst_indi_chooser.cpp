// The window's telescope chooser against the real indi_simulator_telescope (run by with_indiserver.sh): with
// "INDI" picked, List lists the simulator under its identifier, and choosing it fills the Telescope field
// that OK returns. (Discover's search of 127.0.0.1:7624: test_indi_telescope_list's replay.)
#include "telescope/ChooserDialog.h"
#include "telescope/alpaca/AlpacaSource.h"
#include "telescope/indi/IndiSource.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace telescope;

class TstIndiChooser : public QObject {
    Q_OBJECT
private slots:
    void listsTheSimulator() {
        const QString id = QStringLiteral("indi://127.0.0.1:7624/Telescope Simulator");
        // Alpaca first, as in the window; its discovery only ever asks 127.0.0.1 here.
        QNetworkAccessManager net;
        alpaca::DiscoveryTargets loopback;
        loopback.addresses = {QHostAddress(QHostAddress::LocalHost)};
        alpaca::AlpacaSource alpacaSource(net, loopback);
        indi::IndiSource indiSource;
        ChooserDialog dialog({&alpacaSource, &indiSource}, std::string(), nullptr);
        dialog.show();

        auto* backend = dialog.findChild<QComboBox*>();
        QVERIFY(backend);
        backend->setCurrentIndex(backend->findText(QStringLiteral("INDI")));
        QCOMPARE(dialog.findChild<QSpinBox*>()->value(), 7624);
        dialog.findChild<QPushButton*>(QStringLiteral("listServer"))->click();

        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("telescopes"));
        QListWidgetItem* simulator = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((simulator = [&]() -> QListWidgetItem* {
                                     for (int i = 0; i < list->count(); ++i)
                                         if (list->item(i)->data(Qt::UserRole).toString() == id)
                                             return list->item(i);
                                     return nullptr;
                                 }()),
                                 20000);
        QVERIFY(simulator->text().contains(QStringLiteral("Telescope Simulator")));
        list->setCurrentItem(simulator);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("identifier"))->text(), id);
        dialog.accept();
        QCOMPARE(dialog.chosen(), id.toStdString());
    }
};

QTEST_MAIN(TstIndiChooser)
#include "tst_indi_chooser.moc"
