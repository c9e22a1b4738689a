// The telescope chooser dialog.
#include "telescope/ChooserDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace telescope {

ChooserDialog::ChooserDialog(std::vector<TelescopeSource*> sources, const std::string& preselect,
                             QWidget* parent)
    : QDialog(parent)
    , m_sources(std::move(sources))
    , m_list(new QListWidget(this))
    , m_id(new QLineEdit(this))
    , m_discover(new QPushButton(tr("&Discover"), this))
    , m_backend(new QComboBox(this))
    , m_host(new QLineEdit(QStringLiteral("127.0.0.1"), this))
    , m_port(new QSpinBox(this))
    , m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("TelescopeChooser"));
    setWindowTitle(tr("Choose a Telescope"));
    setModal(true);
    m_list->setObjectName(QStringLiteral("telescopes"));
    m_id->setObjectName(QStringLiteral("identifier"));
    m_discover->setObjectName(QStringLiteral("discover"));
    m_discover->setAutoDefault(false);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_port->setRange(1, 65535);
    for (TelescopeSource* s : m_sources)
        m_backend->addItem(QString::fromStdString(s->name()));
    if (!m_sources.empty())
        m_port->setValue(m_sources.front()->defaultPort());
    connect(m_backend, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && i < static_cast<int>(m_sources.size()))
            m_port->setValue(m_sources[static_cast<std::size_t>(i)]->defaultPort());
    });
    auto* list = new QPushButton(tr("&List"), this);
    list->setObjectName(QStringLiteral("listServer"));
    list->setAutoDefault(false);

    auto* server = new QHBoxLayout;
    server->addWidget(m_backend);
    server->addWidget(m_host, 1);
    server->addWidget(m_port);
    server->addWidget(list);
    auto* form = new QFormLayout;
    form->addRow(tr("Server:"), server);
    form->addRow(tr("Telescope:"), m_id);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Telescopes found:"), this), 1);
    top->addWidget(m_discover);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_discover, &QPushButton::clicked, this, &ChooserDialog::discover);
    connect(list, &QPushButton::clicked, this, &ChooserDialog::askServer);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            m_id->setText(item->data(Qt::UserRole).toString());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    // The last choice stands first and selected, so that Return connects to it again.
    if (!preselect.empty())
        addEntry({preselect, tr("last choice").toStdString(), {}});
    m_id->setText(QString::fromStdString(preselect));
    m_status->setText(tr("Press Discover to search the network, or type a server and press List."));
    resize(520, 360);
}

std::string ChooserDialog::chosen() const {
    return result() == QDialog::Rejected ? std::string() : m_id->text().trimmed().toStdString();
}

std::string ChooserDialog::choose(std::vector<TelescopeSource*> sources, const std::string& preselect,
                                  QWidget* parent) {
    ChooserDialog dialog(std::move(sources), preselect, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : std::string();
}

void ChooserDialog::searchStarted(int count) {
    m_searching += count;
    m_problems.clear();
    m_discover->setEnabled(false);
    m_status->setText(tr("Searching ..."));
}

void ChooserDialog::discover() {
    searchStarted(static_cast<int>(m_sources.size()));
    QPointer<ChooserDialog> self(this);
    for (TelescopeSource* s : m_sources)
        s->search([self](const std::vector<TelescopeEntry>& found, const std::string& problem) {
            if (self)
                self->addFound(found, problem);
        });
}

void ChooserDialog::askServer() {
    const int i = m_backend->currentIndex();
    if (i < 0 || i >= static_cast<int>(m_sources.size()) || m_host->text().trimmed().isEmpty())
        return;
    searchStarted(1);
    QPointer<ChooserDialog> self(this);
    m_sources[static_cast<std::size_t>(i)]->askServer(
        m_host->text().trimmed().toStdString(), static_cast<std::uint16_t>(m_port->value()),
        [self](const std::vector<TelescopeEntry>& found, const std::string& problem) {
            if (self)
                self->addFound(found, problem);
        });
}

void ChooserDialog::addEntry(const TelescopeEntry& entry) {
    const QString id = QString::fromStdString(entry.id);
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->data(Qt::UserRole).toString() == id)
            return;
    auto* item = new QListWidgetItem(QStringLiteral("%1  (%2)").arg(QString::fromStdString(entry.name), id));
    item->setData(Qt::UserRole, id);
    m_list->addItem(item);
    if (m_list->count() == 1 || m_id->text() == id)
        m_list->setCurrentItem(item);
}

void ChooserDialog::addFound(const std::vector<TelescopeEntry>& found, const std::string& problem) {
    const QString current = m_id->text();
    for (const TelescopeEntry& e : found)
        addEntry(e);
    // A search never takes away what the operator had chosen or typed.
    m_id->setText(current.isEmpty() ? m_id->text() : current);
    if (!problem.empty())
        m_problems << QString::fromStdString(problem);
    if (--m_searching > 0)
        return;
    m_searching = 0;
    m_discover->setEnabled(true);
    m_status->setText(m_problems.isEmpty() ? tr("%n telescope(s) listed.", nullptr, m_list->count())
                                           : m_problems.join(QStringLiteral("\n")));
}

} // namespace telescope
