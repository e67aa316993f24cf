// The theme's colour constructors, the rich-text builders, font substitution and the flat button.
#include "app/Constants.h"
#include "app/TarnwickModel.h"
#include "support/WindowFixture.h"
#include "ui/theme/ColorConstructors.h"
#include "ui/theme/FlatButton.h"
#include "ui/theme/FontSubstitution.h"
#include "ui/theme/ImageTint.h"
#include "ui/theme/TextBuilders.h"
#include "ui/theme/ThemeValues.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::ui;

namespace {
std::optional<QColor> rgba(float r, float g, float b, float a) { return QColor::fromRgbF(r, g, b, a); }
bool near(const std::optional<QColor>& a, const std::optional<QColor>& b) {
    if (a.has_value() != b.has_value()) return false;
    if (!a) return true;
    return std::abs(a->redF() - b->redF()) < 1e-3 && std::abs(a->greenF() - b->greenF()) < 1e-3 &&
           std::abs(a->blueF() - b->blueF()) < 1e-3 && std::abs(a->alphaF() - b->alphaF()) < 1e-3;
}
}  // namespace

class ThemeTest : public QObject {
    Q_OBJECT
private slots:
    void colourConstructors() {
        QVERIFY(near(initWithRgbValue(0xF6F6F6, 1), rgba(246 / 255.f, 246 / 255.f, 246 / 255.f, 1)));
        QVERIFY(near(initWithRgbValue(0x232B3B, 0.5), rgba(0x23 / 255.f, 0x2B / 255.f, 0x3B / 255.f, 0.5)));
        QVERIFY(near(initWithRedGreenBlue(255, 128, 0), rgba(1, 128 / 255.f, 0, 1)));
        const struct {
            const char* text;
            std::optional<QColor> colour;
        } hex[] = {
            {"#F80", rgba(1, 8 / 15.f, 0, 1)},
            {"F80", rgba(1, 8 / 15.f, 0, 1)},
            {"#F808", rgba(1, 8 / 15.f, 0, 8 / 15.f)},
            {"#FF7E79", rgba(1, 0x7E / 255.f, 0x79 / 255.f, 1)},
            {"##e7f2fb", rgba(0xE7 / 255.f, 0xF2 / 255.f, 0xFB / 255.f, 1)},
            {"#FF7E7980", rgba(1, 0x7E / 255.f, 0x79 / 255.f, 0x80 / 255.f)},
            {"#FF7E7", std::nullopt},
            {"", std::nullopt},
            {"#GGGGGG", std::nullopt},
            {"+FFFFF", std::nullopt},
        };
        for (const auto& c : hex) QVERIFY2(near(initWithHexString(c.text), c.colour), c.text);

        float h, s, v, a;
        tintedColor(Qt::black).getHsvF(&h, &s, &v, &a);
        QCOMPARE(qRound(v * 1000), 200);
        tintedColor(QColor::fromHsvF(0.5f, 0.4f, 0.5f)).getHsvF(&h, &s, &v, &a);
        QCOMPARE(qRound(v * 1000), 400);
        QCOMPARE(qRound(h * 1000), 500);
    }

    void theThemeInUseHasItsColours() {
        QCOMPARE(themeColor(&Theme::sidebarBackgroundColor).name(), QStringLiteral("#232b3b"));
        QCOMPARE(themeColor(&Theme::secondaryRowSelectionLeftBoxColor).name(), QStringLiteral("#ff7e79"));
    }

    void theAvenirFacesMapToLato() {
        for (const char* face : {"Avenir Next", "Avenir Next Medium", "Avenir Next Bold"}) {
            const std::optional<QFont> font = substitutedFont(Font{face, 11});
            QVERIFY2(font, face);
            QCOMPARE(QFontInfo(*font).family(), QStringLiteral("Lato"));
            QCOMPARE(font->pixelSize(), 11);
        }
        QCOMPARE(substitutedFont(Font{"Avenir Next Bold", 11})->weight(), QFont::Bold);
        // An unknown face falls back to the default font at the theme's size.
        QVERIFY(!substitutedFont(Font{"Helvetica Neue", 11}));
        QCOMPARE(themeFont(Font{"Helvetica Neue", 13}).pixelSize(), 13);
        QVERIFY(sharedModel().configuration.sidebar.sidebarFont.has_value() == fontFaceResolves(Font{"Avenir Next Medium", 12}));
    }

    void templateImagesTakeTheTint() {
        QImage shape(4, 4, QImage::Format_ARGB32_Premultiplied);
        shape.fill(Qt::transparent);
        shape.setPixelColor(1, 1, Qt::black);
        const TemplateImage tinted = imageWithTintColor(TemplateImage{shape, true}, Qt::red);
        QVERIFY(!tinted.isTemplate);
        QCOMPARE(tinted.image.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(tinted.image.pixelColor(0, 0).alpha(), 0);
        const TemplateImage plain = imageWithTintColor(TemplateImage{shape, false}, Qt::red);
        QCOMPARE(plain.image.pixelColor(1, 1), QColor(Qt::black));
    }

    void theAboutTextLinksItsTwoAddressesAndNothingElse() {
        const QString about = QString::fromStdString(constants::aboutText());
        QCOMPARE(detectedLinks(about), (std::vector<QString>{"https://velmora.io/tarnwick/eula",
                                                              "https://velmora.io/tarnwick/acknowledgements"}));
        QCOMPARE(detectedLinks("Write to help@lab.example, or see www.lab.example/faq."),
                 (std::vector<QString>{"mailto:help@lab.example", "https://www.lab.example/faq"}));
        const QString html = hyperlinkDetectWithText("a <b> https://x.example/p?a=1&b=2");
        QVERIFY(html.contains("&lt;b&gt;"));
        QVERIFY(html.contains("href=\"https://x.example/p?a=1&amp;b=2\""));
        QVERIFY(linkList({{"one", "https://1.example"}, {"two", "https://2.example"}}, ", ")
                    .contains(">one</a>, <a href=\"https://2.example\""));
    }

    void aMomentaryFlatButtonReturnsToOffAndFiresOnce() {
        FlatButton button;
        button.setText("Rules");
        button.offAnimationDuration = 0;
        button.setButtonColor(Qt::white);
        button.setActiveButtonColor(Qt::blue);
        button.resize(80, 24);
        button.show();
        QSignalSpy clicks(&button, &FlatButton::clicked);
        QTest::mousePress(&button, Qt::LeftButton);
        QVERIFY(button.isOn());
        QCOMPARE(button.shownBackground(), QColor(Qt::blue));
        QTest::mouseRelease(&button, Qt::LeftButton);
        QVERIFY(!button.isOn());
        QCOMPARE(button.shownBackground(), QColor(Qt::white));
        QCOMPARE(clicks.count(), 1);

        // Released outside: no click, and the look of before the press.
        QTest::mousePress(&button, Qt::LeftButton);
        QMouseEvent away(QEvent::MouseMove, QPointF(200, 200), button.mapToGlobal(QPointF(200, 200)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &away);
        QVERIFY(!button.isOn());
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(clicks.count(), 1);

        // The keyboard clicks it too.
        button.setFocus();
        QTest::keyClick(&button, Qt::Key_Space);
        QCOMPARE(clicks.count(), 2);
        QVERIFY(!button.isOn());

        // Not momentary: a click leaves it on.
        button.setMomentary(false);
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(button.isOn());
    }

    void aDisabledFlatButtonIsHalfOpaqueAndTakesNoClicks() {
        FlatButton button;
        button.setText("Add");
        button.resize(80, 24);
        button.show();
        QCOMPARE(button.drawnOpacity(), 1.0);
        button.setEnabled(false);
        QCOMPARE(button.drawnOpacity(), 0.5);
        QSignalSpy clicks(&button, &FlatButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 0);
        QVERIFY(!button.isOn());
    }
};

TARNWICK_WINDOW_TEST_MAIN(ThemeTest, 2103)
#include "ThemeTest.moc"
