// What Load and Save Settings need of a one-row list, so that the settings code does not depend on the
// window's list widget. The window hands its lists over wrapped in ListControlOf; tests wrap a stand-in list.
#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>

namespace settings {

class ListControl {
public:
    virtual ~ListControl() = default;

    // Number of items; positions run from 0 to count() - 1.
    virtual int count() const = 0;
    // Position of the selected item, -1 when none is selected.
    virtual int selectedIndex() const = 0;
    // Selects the item at index as the operator's own choice would: when the selection really changes, the
    // list's change reactions run inside this call. False (and nothing changed) for an index outside the
    // items.
    virtual bool setSelectedIndex(int index) = 0;
    // Calls reaction, in context's thread, after every change of the selection by the operator or the
    // program.
    virtual QMetaObject::Connection onChanged(QObject* context, std::function<void()> reaction) = 0;
};

// Adapts any list widget with count(), selectedIndex(), setSelectedIndex(int) and a changed signal.
// The widget is not owned and must outlive the adapter.
template <class List>
class ListControlOf final : public ListControl {
public:
    explicit ListControlOf(List* list)
        : m_list(list) {}

    int count() const override { return m_list->count(); }
    int selectedIndex() const override { return m_list->selectedIndex(); }
    bool setSelectedIndex(int index) override { return m_list->setSelectedIndex(index); }
    QMetaObject::Connection onChanged(QObject* context, std::function<void()> reaction) override {
        return QObject::connect(m_list, &List::changed, context,
                                [reaction = std::move(reaction)] { reaction(); });
    }

private:
    List* m_list;
};

template <class List>
std::unique_ptr<ListControl> listControl(List* list) {
    return std::make_unique<ListControlOf<List>>(list);
}

} // namespace settings
