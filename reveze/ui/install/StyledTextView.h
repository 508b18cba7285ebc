#pragma once

// A read-only, selectable StyledText: the install sheet's command preview
// and its marked package name. The text goes into the document piece by
// piece with its character format (never as HTML), wraps at the view's
// width and the view is as tall as its text.

#include "install/StyledText.h"

#include <QTextEdit>

namespace ReveZE {

class StyledTextView : public QTextEdit
{
    Q_OBJECT

public:
    explicit StyledTextView(QWidget *parent = nullptr);

    void setStyledText(const StyledText &text);
    const StyledText &styledText() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void rebuild();

    StyledText m_text;
};

} // namespace ReveZE
