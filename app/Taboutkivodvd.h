// The about box: the product line, its version and build date read from "Gver.dll" beside the
// executable each time it is shown, two links to the vendor and a Close button.
#pragma once

#include <QDialog>
#include <QLabel>

class SkinButton;
class UrlLabel;

class Taboutkivodvd : public QDialog {
    Q_OBJECT
public:
    explicit Taboutkivodvd(QWidget* parent = nullptr);
    ~Taboutkivodvd() override;

    QLabel* Label2;
    QLabel* Label8;
    QLabel* Label4;
    QLabel* MakerLine;
    QLabel* MakerShadow;
    QLabel* Label3;
    QLabel* Label7;
    UrlLabel* WebLink;
    UrlLabel* ContactLink;
    SkinButton* BtnAboutClose;

    // Fills the texts from the version file.
    void FormShow();
    void BtnAboutCloseClick(QObject* sender);

    // One value of the version file, with the missing / empty / "0" rule.
    static QString ReadVersionValue(const QString& section, const QString& key, const QString& def);

protected:
    void showEvent(QShowEvent* event) override;
};

extern Taboutkivodvd* aboutkivodvd;
