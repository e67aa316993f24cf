#pragma once
// The content area: every row's panel is made once, at start, in row order, and kept for the life
// of the window; a sidebar selection shows the chosen one, so each panel keeps its state.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QStackedLayout;

namespace tarnwick {
struct Notification;
}

namespace tarnwick::ui {

class NotificationObserver;

class MainContentViewController : public QWidget {
    Q_OBJECT
public:
    explicit MainContentViewController(QWidget* parent = nullptr);
    ~MainContentViewController() override;

    std::optional<int> currentIndex() const { return current_index; }
    const std::vector<QPointer<QWidget>>& mainviews() const { return mainviews_; }
    // The panel on screen; null before the first selection.
    QWidget* currentPanel() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void sideBarSelectionChanged(const tarnwick::Notification& notification);
    void showCurrentPanel();

    std::optional<int> current_index;
    std::vector<QPointer<QWidget>> mainviews_;
    QWidget* mainContainerView_;
    QStackedLayout* stack_;
    QWidget* empty_;  // what the container shows with no index
    std::unique_ptr<NotificationObserver> selectionObserver_;
};

}  // namespace tarnwick::ui
