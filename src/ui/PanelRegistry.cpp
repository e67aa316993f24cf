#include "ui/PanelRegistry.h"

#include "ui/status/XProtectRightViewController.h"

#include <QVBoxLayout>

namespace tarnwick::ui {

const PanelRegistry& PanelRegistry::standard() {
    static const PanelRegistry registry = [] {
        PanelRegistry r;
        r.add("Yara", "YaraSplitViewID",
              [](QWidget* parent) { return makePlaceholderPanel(QStringLiteral("Yara"), true, parent); });
        r.add("Plugins", "BlacklistedPluginsViewID",
              [](QWidget* parent) { return makePlaceholderPanel(QStringLiteral("Plugins"), true, parent); });
        r.add("Extensions", "BlacklistedExtensionsViewID",
              [](QWidget* parent) { return makePlaceholderPanel(QStringLiteral("Extensions"), true, parent); });
        r.add("Scans", "ScansPrimarySplitViewControllerID",
              [](QWidget* parent) { return makePlaceholderPanel(QStringLiteral("Scanner"), false, parent); });
        return r;
    }();
    return registry;
}

void PanelRegistry::add(const std::string& storyboard, const std::string& controllerId, Factory factory) {
    factories_[{storyboard, controllerId}] = std::move(factory);
}

bool PanelRegistry::contains(const std::string& storyboard, const std::string& controllerId) const {
    return factories_.count({storyboard, controllerId}) > 0;
}

QWidget* PanelRegistry::instantiate(const std::string& storyboard, const std::string& controllerId,
                                    QWidget* parent) const {
    auto found = factories_.find({storyboard, controllerId});
    if (found == factories_.end())
        return makePlaceholderPanel(QString::fromStdString(storyboard), false, parent);
    return found->second(parent);
}

QWidget* makePlaceholderPanel(const QString& name, bool withStatusStrip, QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name + QStringLiteral("Panel"));
    panel->setAccessibleName(name);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (withStatusStrip) {
        auto* strip = new XProtectRightViewController(panel);
        strip->hideToggleRight();
        layout->addWidget(strip);
    }
    layout->addStretch(1);
    return panel;
}

}  // namespace tarnwick::ui
