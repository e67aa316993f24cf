#pragma once
// Where a sidebar row's panel comes from: each (interface, controller) pair of the configuration
// names one factory here that makes the panel's root widget. A pair without a panel yet gets an
// empty placeholder, with the XProtect status strip where the panel will show one.
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace tarnwick::ui {

class PanelRegistry {
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    // The panels of this program.
    static const PanelRegistry& standard();

    void add(const std::string& storyboard, const std::string& controllerId, Factory factory);
    bool contains(const std::string& storyboard, const std::string& controllerId) const;
    // The panel of the pair; an empty placeholder for a pair nobody registered.
    QWidget* instantiate(const std::string& storyboard, const std::string& controllerId, QWidget* parent) const;

private:
    std::map<std::pair<std::string, std::string>, Factory> factories_;
};

// A panel that is not built yet: an empty area, under a status strip when `withStatusStrip`.
QWidget* makePlaceholderPanel(const QString& name, bool withStatusStrip, QWidget* parent);

}  // namespace tarnwick::ui
