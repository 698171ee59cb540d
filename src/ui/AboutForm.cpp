#include "ui/AboutForm.h"

#include "app/ProgramInfo.h"
#include "ui/ProductArtwork.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace tessaro {

namespace {

constexpr QSize DialogSize(587, 355);
constexpr QRect PictureRect(0, 0, 163, 315);
constexpr QRect PanelRect(163, 0, 424, 314);
// Inside the panel.
constexpr QRect TitleRect(24, 18, 334, 25);
constexpr QRect NoticeRect(24, 50, 391, 261);
constexpr QRect SeparatorRect(0, 316, 587, 2);
constexpr QRect ButtonRect(486, 323, 89, 25);

// A font by family and pixel size. Where the family is not installed
// (Tahoma and Calibri on most Linux desktops) Qt picks the nearest match,
// so the pixel size is what keeps the layout in shape.
QFont pixelFont(const QString& family, int pixelSize, bool bold = false)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The described colours on a light palette; on a dark one the palette's
// own, so that the box follows the rest of the program.
void setBackground(QWidget* widget, const QColor& color, QPalette::ColorRole darkRole)
{
    QPalette palette = widget->palette();
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    palette.setColor(QPalette::Window, dark ? palette.color(darkRole) : color);
    palette.setColor(QPalette::WindowText, dark ? palette.color(QPalette::Text) : Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString link(const QString& target, const QString& shown)
{
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(target.toHtmlEscaped(), shown.toHtmlEscaped());
}

} // namespace

TAboutForm::TAboutForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    FormCreate(owner);
}

int TAboutForm::Execute(QWidget* owner)
{
    TAboutForm dialog(owner);
    return dialog.exec();
}

QString TAboutForm::NoticeText()
{
    const QString mail = ProgramContactMail();
    const QString homepage = ProgramHomepage();
    return QStringLiteral("A desktop backup scheduler: it archives your folders on a schedule "
                          "and keeps the destination folders within their limits.<br><br>"
                          "&copy; 2026 the Tessaro project<br>"
                          "WinRAR&reg; is a registered trademark of win.rar GmbH.<br><br>") +
           QStringLiteral("Contact &amp; bug report:<br>") +
           link(QStringLiteral("mailto:") + mail, mail) + QStringLiteral("<br><br><br><br>") +
           QStringLiteral("Visit: ") + link(homepage, homepage) + QStringLiteral("<br><br>");
}

void TAboutForm::FormCreate(QWidget* owner)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(DialogSize);
    setFont(pixelFont(QStringLiteral("Tahoma"), 12));
    setBackground(this, QColor(0xf0, 0xf0, 0xf0), QPalette::Window);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setGeometry(PictureRect);
    picture->setPixmap(productArtwork(PictureRect.size(), ProgramName()));

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setGeometry(PanelRect);
    setBackground(panel, Qt::white, QPalette::Base);

    lblTitle = new QLabel(panel);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(TitleRect);
    lblTitle->setFont(pixelFont(QStringLiteral("Calibri"), 19, true));
    lblTitle->setTextFormat(Qt::PlainText);
    if (owner)
        lblTitle->setText(owner->window()->windowTitle());

    lblCompany = new QLabel(panel);
    lblCompany->setObjectName(QStringLiteral("lblCompany"));
    lblCompany->setGeometry(NoticeRect);
    lblCompany->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCompany->setWordWrap(true);
    lblCompany->setTextFormat(Qt::RichText);
    lblCompany->setText(NoticeText());
    // Only the links react to the mouse; the rest of the text is inert.
    lblCompany->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblCompany->setOpenExternalLinks(false);
    connect(lblCompany, &QLabel::linkActivated, this, &TAboutForm::lblCompanyLinkClick);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(SeparatorRect);

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(ButtonRect);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);
}

void TAboutForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOwner();
    // Some window managers place a new box by rules of their own once it is
    // mapped; a move of the mapped box is honoured, and its frame is known.
    QTimer::singleShot(0, this, &TAboutForm::centreOnOwner);
}

void TAboutForm::centreOnOwner()
{
    // Centred on the owner's window, frame and all. Before the box is mapped
    // its frame is not known: it gets the owner's.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible())
        return;
    const QRect ownerFrame = owner->frameGeometry();
    const QSize ownFrame = frameGeometry().size() != size()
                               ? frameGeometry().size()
                               : size() + (ownerFrame.size() - owner->size());
    move(ownerFrame.center() - QPoint(ownFrame.width() / 2, ownFrame.height() / 2));
}

void TAboutForm::lblCompanyLinkClick(const QString& link)
{
    // No message of our own when nothing can open it: the desktop decides.
    QDesktopServices::openUrl(QUrl(link));
}

void TAboutForm::Button1Click()
{
    accept();
}

} // namespace tessaro
