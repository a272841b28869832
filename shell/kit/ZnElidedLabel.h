#pragma once

#include <QLabel>

// A label for a server's text of any length, such as the system title, beside
// parts that must stay whole. It asks its layout for the room to show the text
// whole, up to its maximum width, and when the parts beside it need that room
// it takes less, down to an ellipsis: the text is shown elided to the width it
// is given, and a text that is cut is its tool tip.
class ZnElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ZnElidedLabel(QWidget *parent = nullptr);

    // Shown as plain text. QLabel::setText would be undone at the next resize.
    void setWholeText(const QString &text);
    const QString &wholeText() const { return whole; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int sideRoom() const;
    void showFitting();

    QString whole;
};
