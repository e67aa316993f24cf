// The main window on a fixture Mac: sidebar rows, navigation between panels, the sidebar's fixed
// width, the maker popover on the first launch only, and the stored frame.
#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "support/WindowFixture.h"
#include "ui/MainContentViewController.h"
#include "ui/MainWindowController.h"
#include "ui/PrimarySplitViewController.h"
#include "ui/SideBarTableView.h"
#include "ui/SideBarViewController.h"
#include "ui/WindowFrame.h"
#include "ui/theme/Popover.h"

#include <QAccessible>
#include <QSettings>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::ui;

class MainWindowTest : public QObject {
    Q_OBJECT

    static SideBarTableView* table(MainWindowController& window) {
        return window.splitViewController()->sidebarSplitViewItem()->sidebarTableView();
    }
    static MainContentViewController* content(MainWindowController& window) {
        return window.splitViewController()->mainContentSplitViewItem();
    }
    static void clickRow(SideBarTableView* view, int row) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

private slots:
    // Runs first: nothing has been launched for this user yet.
    void theFirstLaunchShowsTheMakerPopoverAndLaterOnesDoNot() {
        {
            MainWindowController first;
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            SideBarViewController* sidebar = first.splitViewController()->sidebarSplitViewItem();
            QTRY_VERIFY(sidebar->aboutPopover() && sidebar->aboutPopover()->isShown());
            sidebar->aboutPopover()->close();
        }
        MainWindowController later;
        later.show();
        QVERIFY(QTest::qWaitForWindowExposed(&later));
        QTest::qWait(200);
        QVERIFY(!later.splitViewController()->sidebarSplitViewItem()->aboutPopover());
    }

    void theSidebarListsTheFourPanelsInOrderAndShowsTheFirst() {
        MainWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SideBarTableView* view = table(window);
        QCOMPARE(view->model()->rowCount(), 4);
        const QStringList names = {"Yara", "Plugins", "Extensions", "Scanner"};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(view->model()->index(row, 0).data().toString(), names[row]);
            // Each row has its image, and screen readers read its name.
            QVERIFY(!view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
            QVERIFY(list);
            QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Sidebar"));
        }
        QCOMPARE(view->selectedRow(), 0);
        QCOMPARE(content(window)->currentIndex(), std::optional<int>(0));
        QCOMPARE(content(window)->currentPanel(), content(window)->mainviews()[0].data());
        QVERIFY(content(window)->currentPanel()->isVisible());
    }

    void choosingRowsSwitchesPanelsAndKeepsEachInstance() {
        MainWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SideBarTableView* view = table(window);
        MainContentViewController* area = content(window);
        const std::vector<QPointer<QWidget>> panels = area->mainviews();
        QCOMPARE(panels.size(), size_t(4));

        clickRow(view, 2);
        QCOMPARE(area->currentPanel(), panels[2].data());
        QVERIFY(panels[2]->isVisible());
        QVERIFY(!panels[0]->isVisible());

        // The keyboard moves through the rows too.
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(area->currentPanel(), panels[3].data());

        // Choosing the selected row again announces it again and shows the same panel.
        int announced = 0;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            name(TarnwickNotificationNames::sideBarTableSelectionNotification), [&](const Notification&) { ++announced; });
        clickRow(view, 3);
        NotificationCenter::defaultCenter().removeObserver(token);
        QCOMPARE(announced, 1);
        QCOMPARE(area->currentPanel(), panels[3].data());
        QCOMPARE(area->mainviews().size(), size_t(4));
        for (size_t i = 0; i < panels.size(); ++i) QCOMPARE(area->mainviews()[i].data(), panels[i].data());
    }

    void aSelectionNoticeWithoutAnIndexChangesNothing() {
        MainWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        clickRow(table(window), 1);
        QWidget* shown = content(window)->currentPanel();
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::sideBarTableSelectionNotification));
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::sideBarTableSelectionNotification), {},
                                                 UserInfo{{"index", std::string("2")}});
        QCOMPARE(content(window)->currentIndex(), std::optional<int>(1));
        QCOMPARE(content(window)->currentPanel(), shown);
    }

    void theSidebarKeepsItsWidthWhenTheWindowResizes() {
        MainWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SideBarViewController* sidebar = window.splitViewController()->sidebarSplitViewItem();
        for (const QSize size : {QSize(800, 500), QSize(1600, 1000), QSize(1100, 720)}) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            QCOMPARE(sidebar->width(), 90);
            QWidget* panel = content(window)->currentPanel();
            // The panel takes the rest of the width, beside the one-point divider.
            QCOMPARE(panel->width(), window.centralWidget()->width() - 90 - 1);
        }
    }

    void aStoredFrameIsUsedOnlyWhenItIsOnAScreen() {
        const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080)};
        QCOMPARE(usableFrame(QRect(100, 80, 900, 600), screens), std::optional<QRect>(QRect(100, 80, 900, 600)));
        QCOMPARE(usableFrame(QRect(5000, 80, 900, 600), screens), std::nullopt);
        QCOMPARE(usableFrame(QRect(100, -900, 900, 600), screens), std::nullopt);
        QCOMPARE(usableFrame(QRect(100, 80, 0, 600), screens), std::nullopt);
        QCOMPARE(usableFrame(std::nullopt, screens), std::nullopt);

        // An unreadable stored value gives the default frame.
        {
            QSettings settings(windowSettingsFile(), QSettings::IniFormat);
            settings.setValue("position", "not a frame");
        }
        QCOMPARE(readStoredFrame(), std::nullopt);
        {
            MainWindowController window;
            QCOMPARE(QRect(window.pos(), window.size()), MainWindowController::defaultFrame());
        }
        // A frame is kept when the window closes and given back on the next start.
        {
            MainWindowController window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(900, 640);
            QTRY_COMPARE(window.size(), QSize(900, 640));
            window.close();
        }
        QCOMPARE(readStoredFrame()->size(), QSize(900, 640));
        MainWindowController again;
        QCOMPARE(again.size(), QSize(900, 640));
    }
};

TARNWICK_WINDOW_TEST_MAIN(MainWindowTest, 2103)
#include "MainWindowTest.moc"
