// The XProtect status strip and its version popover against a loopback catalog: installed version
// 2103, the latest offered version changed between checks.
#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "support/WindowFixture.h"
#include "ui/status/UpdatePopoverViewController.h"
#include "ui/status/VersionComparison.h"
#include "ui/status/XProtectRightViewController.h"
#include "ui/theme/ActivitySpinner.h"
#include "ui/theme/ClickableTextField.h"
#include "ui/theme/FlatButton.h"
#include "ui/theme/Popover.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace tarnwick;
using namespace tarnwick::ui;

class StatusStripTest : public QObject {
    Q_OBJECT

    int versionNotes_ = 0;
    NotificationCenter::Token token_{};

    // Offers `version`, runs a check and waits for its result.
    void checkWith(const std::optional<std::string>& version) {
        test::windowFixture().offerVersion(version);
        const int before = versionNotes_;
        sharedModel()._update.getXProtectCatalog();
        QTRY_VERIFY_WITH_TIMEOUT(versionNotes_ > before, 10000);
    }

private slots:
    void initTestCase() {
        token_ = NotificationCenter::defaultCenter().addObserver(
            name(TarnwickNotificationNames::xProtectVersionNotification), [this](const Notification&) { ++versionNotes_; });
        XProtectRightViewController::setRelaunch([] {});
    }
    void cleanupTestCase() { NotificationCenter::defaultCenter().removeObserver(token_); }

    // Runs first, before any check has ended.
    void beforeAnyCheckThePopoverShowsNoTimeAndLatestZero() {
        UpdatePopoverViewController popover;
        QCOMPARE(popover.updateTimeTextField()->text(), QStringLiteral("Not Available"));
        QCOMPARE(popover.latestVersionTextField()->text(), QStringLiteral("0"));
        QCOMPARE(popover.localVersionTextField()->text(), QStringLiteral("2103"));
        QVERIFY(!popover.updateButtonBox()->isHidden());
        QVERIFY(!popover.updateTextBox()->isHidden());
        QVERIFY(popover.upToDateBox()->isHidden());
    }

    void aShownStripChecksOnceAndAStripShownLaterDoesNot() {
        // Both exist from the start, as the panels' strips do; the second is shown later.
        QWidget host;
        QWidget other;
        auto* first = new XProtectRightViewController(&host);
        auto* second = new XProtectRightViewController(&other);
        const size_t catalogsBefore = test::windowFixture().catalog().catalogRequests();
        host.show();
        QVERIFY(first->spinner()->isAnimating());
        QVERIFY(first->progressLabel()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(first->doneUpdateCheck(), 10000);
        QVERIFY(!first->spinner()->isAnimating());
        QVERIFY(!first->progressLabel()->isVisible());
        QVERIFY(first->statusButton()->isVisible());
        QCOMPARE(test::windowFixture().catalog().catalogRequests(), catalogsBefore + 1);

        other.show();
        QTest::qWait(300);
        QVERIFY(!second->spinner()->isAnimating());
        QCOMPARE(test::windowFixture().catalog().catalogRequests(), catalogsBefore + 1);
        // The version label says what it is, to people too.
        auto* label = first->findChild<ClickableTextField*>("xProtectVersionTextField");
        QCOMPARE(label->accessibleName(), QStringLiteral("XProtect Version 2103"));
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    }

    void theStripAndPopoverFollowTheLatestVersion_data() {
        QTest::addColumn<QString>("offered");  // "-" offers a document without a version
        QTest::addColumn<bool>("redMark");
        QTest::addColumn<QString>("latestShown");
        QTest::newRow("equal") << "2103" << false << "2103";
        QTest::newRow("newer") << "2104" << true << "2104";
        QTest::newRow("no latest") << "-" << true << "0";
        QTest::newRow("not a whole number") << "2104.1" << true << "2104.1";
    }
    void theStripAndPopoverFollowTheLatestVersion() {
        QFETCH(QString, offered);
        QFETCH(bool, redMark);
        QFETCH(QString, latestShown);
        QWidget host;
        auto* strip = new XProtectRightViewController(&host);
        host.show();
        checkWith(offered == "-" ? std::nullopt : std::optional<std::string>(offered.toStdString()));
        QCOMPARE(strip->showsUpdateMark(), redMark);

        strip->versionInfoClick();
        QVERIFY(strip->versionPopover()->isShown());
        auto* popover = qobject_cast<UpdatePopoverViewController*>(strip->versionPopover()->content());
        QVERIFY(popover);
        QCOMPARE(popover->latestVersionTextField()->text(), latestShown);
        QCOMPARE(popover->updateButtonBox()->isHidden(), !redMark);
        QCOMPARE(popover->updateTextBox()->isHidden(), !redMark);
        QCOMPARE(popover->upToDateBox()->isHidden(), redMark);
        QVERIFY(popover->updateTimeTextField()->text() != QStringLiteral("Not Available"));

        // A second click shows the same popover, read again.
        Popover* shown = strip->versionPopover();
        shown->close();
        strip->versionInfoClick();
        QCOMPARE(strip->versionPopover(), shown);
        shown->close();
    }

    void anUpdateInProgressShowsTheRedMarkAndItsEndRelaunchesOnce() {
        int relaunches = 0;
        XProtectRightViewController::setRelaunch([&] { ++relaunches; });
        QWidget host;
        auto* a = new XProtectRightViewController(&host);
        new XProtectRightViewController(&host);
        host.show();
        checkWith(std::string("2103"));
        QVERIFY(!a->showsUpdateMark());
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::xProtectUpdateStartedNotification));
        QVERIFY(a->showsUpdateMark());
        QVERIFY(a->spinner()->isAnimating());
        QCOMPARE(a->progressLabel()->text(), QStringLiteral("Updating XProtect"));
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::xProtectUpdateFinishedNotification));
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::xProtectUpdateFinishedNotification));
        QCOMPARE(relaunches, 1);
        XProtectRightViewController::setRelaunch([] {});
    }

    void theToggleSendsItsNotificationAndCanBeHidden() {
        QWidget host;
        auto* strip = new XProtectRightViewController(&host);
        host.show();
        auto* toggle = strip->findChild<FlatButton*>("toggleRightButton");
        strip->showToggleRightWithDescription("Rule files");
        QVERIFY(toggle->isVisible());
        int toggles = 0;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            name(TarnwickNotificationNames::yaraToggleFileDetailsViewNotification), [&](const Notification&) { ++toggles; });
        QTest::mouseClick(toggle, Qt::LeftButton);
        NotificationCenter::defaultCenter().removeObserver(token);
        QCOMPARE(toggles, 1);
        strip->hideToggleRight();
        QVERIFY(!toggle->isVisible());
    }
};

TARNWICK_WINDOW_TEST_MAIN(StatusStripTest, 2103)
#include "StatusStripTest.moc"
