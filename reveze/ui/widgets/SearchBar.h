#pragma once

// The search bar over ReveZE's lists: a magnifying glass, a borderless
// field with no placeholder, and a clear button shown only while there is
// text, on a translucent rounded surface.

#include <QWidget>

class QLineEdit;

namespace ReveZE {

class SymbolButton;
class SymbolLabel;

class SearchBar : public QWidget
{
    Q_OBJECT

public:
    explicit SearchBar(QWidget *parent = nullptr);

    QLineEdit *field() const { return m_field; }
    SymbolButton *clearButton() const { return m_clear; }

    QString text() const;
    // Shows `text` (the screen's own state) without echoing textEdited.
    void setText(const QString &text);
    void setAccessibleNames(const QString &field, const QString &clear);

Q_SIGNALS:
    // The user changed the text, by typing or with the clear button.
    void textEdited(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SymbolLabel *m_glass;
    QLineEdit *m_field;
    SymbolButton *m_clear;
};

} // namespace ReveZE
