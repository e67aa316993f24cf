#include "ui/theme/FlatButton.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tarnwick::ui {

FlatButton::FlatButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    current_ = {{"backgroundColor", buttonColor_},
                {"borderColor", borderColor_},
                {"iconColor", iconColor_},
                {"alternateIconColor", Qt::transparent},
                {"shadowColor", Qt::transparent}};
    // The keyboard's press and release (space) go through QAbstractButton; show them too.
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (!mouseDown_) setOn(!on_);
    });
    connect(this, &QAbstractButton::released, this, [this] {
        if (!mouseDown_ && momentary_) setOn(!on_);
    });
}

void FlatButton::setMomentary(bool momentary) {
    momentary_ = momentary;
    animateColor(on_);
}

void FlatButton::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    animateColor(on_);
}

void FlatButton::setGlow(double radius, float opacity) {
    glowRadius_ = radius;
    glowOpacity_ = opacity;
    animateColor(on_);
}

void FlatButton::setCornerRadius(double radius) {
    cornerRadius_ = radius;
    update();
}

void FlatButton::setBorderWidth(double width) {
    borderWidth_ = width;
    update();
}

void FlatButton::setAlternateIcon(const QIcon& icon) {
    alternateIcon_ = icon;
    animateColor(on_);
}

void FlatButton::setColour(QColor& member, const QColor& colour) {
    member = colour;
    animateColor(on_);
}

void FlatButton::animateColor(bool on) {
    const double seconds = on ? onAnimationDuration : offAnimationDuration;
    animateTo("backgroundColor", on ? activeButtonColor_ : buttonColor_, seconds);
    animateTo("borderColor", on ? activeBorderColor_ : borderColor_, seconds);
    if (!alternateIcon_.isNull()) {
        animateTo("iconColor", on ? QColor(Qt::transparent) : iconColor_, seconds);
        animateTo("alternateIconColor", on ? activeIconColor_ : QColor(Qt::transparent), seconds);
    } else {
        animateTo("iconColor", iconColor_, seconds);
    }
    if (glowRadius_ > 0 && glowOpacity_ > 0)
        animateTo("shadowColor", on ? activeIconColor_ : QColor(Qt::transparent), seconds);
    update();
}

void FlatButton::animateTo(const std::string& keyPath, const QColor& colour, double seconds) {
    QColor& shown = current_[keyPath];
    QVariantAnimation*& animation = animations_[keyPath];
    if (animation) animation->stop();
    if (shown == colour) return;
    if (seconds <= 0) {
        shown = colour;
        return;
    }
    if (!animation) {
        animation = new QVariantAnimation(this);
        connect(animation, &QVariantAnimation::valueChanged, this, [this, keyPath](const QVariant& value) {
            current_[keyPath] = value.value<QColor>();
            update();
        });
    }
    animation->setStartValue(shown);
    animation->setEndValue(colour);
    animation->setDuration(static_cast<int>(std::lround(seconds * 1000)));
    // The end value is what counts: set it now, so the state is right even before the frames run.
    shown = colour;
    animation->start();
}

QSize FlatButton::sizeHint() const {
    const QSize title = fontMetrics().size(Qt::TextSingleLine, text().isEmpty() ? QStringLiteral("M") : text());
    const int iconWidth = icon().isNull() ? 0 : iconSize().width() + 4;
    return {title.width() + iconWidth + 16, std::max(title.height(), iconSize().height()) + 8};
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(drawnOpacity());
    const QRectF box = QRectF(rect()).adjusted(borderWidth_ / 2, borderWidth_ / 2, -borderWidth_ / 2, -borderWidth_ / 2);
    // While an animation runs the drawn colour is the animation's frame.
    const auto shownNow = [this](const std::string& key) {
        auto running = animations_.find(key);
        if (running != animations_.end() && running->second && running->second->state() == QAbstractAnimation::Running)
            return running->second->currentValue().value<QColor>();
        return current_.at(key);
    };
    QPainterPath path;
    path.addRoundedRect(box, cornerRadius_, cornerRadius_);
    painter.fillPath(path, shownNow("backgroundColor"));
    if (borderWidth_ > 0) {
        painter.setPen(QPen(shownNow("borderColor"), borderWidth_));
        painter.drawPath(path);
    }

    // Title centred, icon to its left; both icons share the geometry, each drawn in its colour.
    const QFontMetrics metrics(font());
    const int titleWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    const int iconWidth = icon().isNull() ? 0 : iconSize().width();
    const int gap = (titleWidth > 0 && iconWidth > 0) ? 4 : 0;
    const int left = static_cast<int>(std::lround((width() - titleWidth - iconWidth - gap) / 2.0));
    if (iconWidth > 0) {
        const QRect iconRect(left, (height() - iconSize().height()) / 2, iconSize().width(), iconSize().height());
        const auto drawMask = [&](const QIcon& source, const QColor& colour) {
            if (source.isNull() || colour.alpha() == 0) return;
            QPixmap mask = source.pixmap(iconSize(), devicePixelRatioF());
            QPainter tint(&mask);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(mask.rect(), colour);
            tint.end();
            painter.drawPixmap(iconRect, mask);
        };
        drawMask(icon(), shownNow("iconColor"));
        drawMask(alternateIcon_, shownNow("alternateIconColor"));
    }
    if (titleWidth > 0) {
        painter.setPen(shownTitleColor());
        painter.setFont(font());
        const QRect titleRect(left + iconWidth + gap, 0, titleWidth, height());
        painter.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    if (hasFocus()) {
        painter.setOpacity(1.0);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), cornerRadius_, cornerRadius_);
    }
}

void FlatButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractButton::mousePressEvent(event);
    mouseDown_ = true;
    inside_ = true;
    setOn(!on_);
    event->accept();
}

void FlatButton::mouseMoveEvent(QMouseEvent* event) {
    if (!mouseDown_) return;
    // Leaving while pressed shows the state before the press; coming back shows the pressed one.
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != inside_) {
        inside_ = inside;
        setOn(!on_);
    }
}

void FlatButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !mouseDown_) return QAbstractButton::mouseReleaseEvent(event);
    mouseDown_ = false;
    const bool inside = rect().contains(event->position().toPoint());
    if (!inside) {
        inside_ = false;
        return;
    }
    if (momentary_) setOn(!on_);
    emit clicked(on_);
}

void FlatButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QAbstractButton::changeEvent(event);
}

}  // namespace tarnwick::ui
