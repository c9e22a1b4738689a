// The telescope chooser: a modal dialog listing the telescopes its sources find (Discover, or a server typed
// by hand) and returning one identifier. The identifier passed in is preselected and OK is the default
// button, so Return accepts it; Cancel and Esc return an empty identifier.
#pragma once

#include "telescope/TelescopeSource.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace telescope {

class ChooserDialog : public QDialog {
    Q_OBJECT
public:
    // sources must outlive the dialog; their answers after it is gone are dropped.
    ChooserDialog(std::vector<TelescopeSource*> sources, const std::string& preselect,
                  QWidget* parent = nullptr);

    // The identifier as it stands (the selected entry or what was typed); empty after Cancel.
    std::string chosen() const;

    // Opens the dialog modally and returns the identifier chosen, or an empty one.
    static std::string choose(std::vector<TelescopeSource*> sources, const std::string& preselect,
                              QWidget* parent = nullptr);

    // Runs the sources' search (the Discover button).
    void discover();
    // Lists the telescopes of the server typed by hand (the List button).
    void askServer();

private:
    void addFound(const std::vector<TelescopeEntry>& found, const std::string& problem);
    void addEntry(const TelescopeEntry& entry);
    void searchStarted(int count);

    std::vector<TelescopeSource*> m_sources;
    QListWidget* m_list;
    QLineEdit* m_id;
    QPushButton* m_discover;
    QComboBox* m_backend;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QLabel* m_status;
    int m_searching = 0;
    QStringList m_problems;
};

} // namespace telescope
