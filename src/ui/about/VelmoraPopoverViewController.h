#pragma once
// The maker popover: the maker's logo and name, the about text, and one line each for the maker's
// social-media account, web site and support e-mail (a line the program has no address for is
// left out).
#include <QWidget>

class QLabel;

namespace tarnwick::ui {

class VerticalExpandingNSTextView;

class VelmoraPopoverViewController : public QWidget {
    Q_OBJECT
public:
    explicit VelmoraPopoverViewController(QWidget* parent = nullptr);

    VerticalExpandingNSTextView* velmoraTextView() const { return velmoraTextView_; }
    VerticalExpandingNSTextView* twitterLinkTextView() const { return twitterLinkTextView_; }
    VerticalExpandingNSTextView* webLinkTextView() const { return webLinkTextView_; }
    VerticalExpandingNSTextView* emailLinkTextView() const { return emailLinkTextView_; }

private:
    QLabel* logoTextView_;
    VerticalExpandingNSTextView* velmoraTextView_;
    VerticalExpandingNSTextView* twitterLinkTextView_ = nullptr;
    VerticalExpandingNSTextView* webLinkTextView_ = nullptr;
    VerticalExpandingNSTextView* emailLinkTextView_ = nullptr;
};

}  // namespace tarnwick::ui
