#pragma once
// Containers that paint their own background before their content.
#include <QColor>
#include <QWidget>

namespace tarnwick::ui {

// A box filled with one colour (the top boxes, title boxes and so on), no border.
class ColorBox : public QWidget {
    Q_OBJECT
public:
    explicit ColorBox(const QColor& fill, QWidget* parent = nullptr);
    QColor fill() const { return fill_; }
    void setFill(const QColor& fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

// Filled with black.
class BackgroundColorStackView : public ColorBox {
    Q_OBJECT
public:
    explicit BackgroundColorStackView(QWidget* parent = nullptr);
};

// The sidebar's background, in the theme's sidebar colour. A drag on it moves the window, as the
// title bar would.
class SideBarStackView : public ColorBox {
    Q_OBJECT
public:
    explicit SideBarStackView(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The plain container around the maker's logo.
class LogoStackView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

}  // namespace tarnwick::ui
