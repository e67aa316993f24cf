#pragma once
// A flat, painted push button: rounded border, background, title and optional icon, whose colours
// animate between an off and an on look. A momentary button (the default) shows the on look only
// while pressed. Disabled, it is drawn at half opacity and takes no clicks.
#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QVariantAnimation>

#include <map>
#include <string>

namespace tarnwick::ui {

class FlatButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit FlatButton(QWidget* parent = nullptr);

    bool momentary() const { return momentary_; }
    void setMomentary(bool momentary);
    bool isOn() const { return on_; }
    // Changes the state with the colour animation of the new state; nothing when it is the same.
    void setOn(bool on);
    bool mouseDown() const { return mouseDown_; }

    double onAnimationDuration = 0;
    double offAnimationDuration = 0.1;
    void setGlow(double radius, float opacity);
    void setCornerRadius(double radius);
    void setBorderWidth(double width);

    void setBorderColor(const QColor& c) { setColour(borderColor_, c); }
    void setActiveBorderColor(const QColor& c) { setColour(activeBorderColor_, c); }
    void setButtonColor(const QColor& c) { setColour(buttonColor_, c); }
    void setActiveButtonColor(const QColor& c) { setColour(activeButtonColor_, c); }
    void setIconColor(const QColor& c) { setColour(iconColor_, c); }
    void setActiveIconColor(const QColor& c) { setColour(activeIconColor_, c); }
    void setTextColor(const QColor& c) { setColour(textColor_, c); }
    void setActiveTextColor(const QColor& c) { setColour(activeTextColor_, c); }
    void setAlternateIcon(const QIcon& icon);

    // What is drawn now (for tests and for the look of a pressed or disabled button).
    QColor shownBackground() const { return current_.at("backgroundColor"); }
    QColor shownBorder() const { return current_.at("borderColor"); }
    QColor shownTitleColor() const { return on_ ? activeTextColor_ : textColor_; }
    double drawnOpacity() const { return isEnabled() ? 1.0 : 0.5; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setColour(QColor& member, const QColor& colour);
    // Runs the colour animations towards the look of `on`.
    void animateColor(bool on);
    void animateTo(const std::string& keyPath, const QColor& colour, double seconds);

    bool mouseDown_ = false;
    bool momentary_ = true;
    bool on_ = false;
    bool inside_ = false;
    double glowRadius_ = 0;
    float glowOpacity_ = 0;
    double cornerRadius_ = 4;
    double borderWidth_ = 1;
    QColor borderColor_ = Qt::darkGray;
    QColor activeBorderColor_ = Qt::white;
    QColor buttonColor_ = Qt::darkGray;
    QColor activeButtonColor_ = Qt::white;
    QColor iconColor_ = Qt::gray;
    QColor activeIconColor_ = Qt::black;
    QColor textColor_ = Qt::gray;
    QColor activeTextColor_ = Qt::gray;
    QIcon alternateIcon_;
    // The colours drawn now, and the animation running towards each, by key path.
    std::map<std::string, QColor> current_;
    std::map<std::string, QVariantAnimation*> animations_;
};

}  // namespace tarnwick::ui
