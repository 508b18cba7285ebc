#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace ReveZE {

// A titled box of the detail (Dependencies, Required by, Uninstall): the
// title above a softly filled rounded rectangle that holds the content with
// 8 points of padding.
class DetailBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int contentPadding = 8;
    static constexpr qreal cornerRadius = 8;

    explicit DetailBox(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    QLabel *titleLabel() const { return m_title; }
    // The box's content goes here.
    QVBoxLayout *contentLayout() const { return m_content; }
    QWidget *contentArea() const { return m_area; }

private:
    QLabel *m_title;
    QWidget *m_area;
    QVBoxLayout *m_content;
};

} // namespace ReveZE
