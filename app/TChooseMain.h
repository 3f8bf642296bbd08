// The device launcher: the program's main window, where the user picks the family of player
// the output is meant for.
#pragma once

#include <QLabel>
#include <QWidget>

#include "profiles/core/DeviceTable.h"

class ImageButton;
class SkinForm;

extern const QString HomePageAddress;
extern const QString HelpPageAddress;
extern const QString ContactMailLink;

// The description shown for the window background (-1) or a device button (its DeviceType).
QString LauncherDescription(int index);

class TChooseMain : public QWidget {
    Q_OBJECT
public:
    explicit TChooseMain(QWidget* parent = nullptr);
    ~TChooseMain() override;

    SkinForm* WindowSkin;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    ImageButton* Btn3GP;
    ImageButton* BtnPSP;
    ImageButton* BtnIPOD;
    ImageButton* BtnPDA;
    ImageButton* BtnMP4;
    ImageButton* BtnAbout;
    ImageButton* BtnHome;
    ImageButton* BtnEmail;
    ImageButton* BtnHelp;
    ImageButton* BtnMinimize;
    ImageButton* BtnClose;

    DeviceType SelectedDevice = DevNone;
    int ShownDescription = -2;  // no text shown yet

    void Btn3GPClick(QObject* sender);
    void BtnPSPClick(QObject* sender);
    void BtnIPODClick(QObject* sender);
    void BtnPDAClick(QObject* sender);
    void BtnMP4Click(QObject* sender);
    void BtnCloseClick(QObject* sender);
    void BtnMinimizeClick(QObject* sender);
    void BtnAboutClick(QObject* sender);
    void BtnHomeClick(QObject* sender);
    void BtnHelpClick(QObject* sender);
    void BtnEmailClick(QObject* sender);

    // The mouse-move handlers of the background and the device buttons.
    void ShowDescription(int index);
    // Shows the launcher again when the converter window closes: restored, raised and active,
    // even when the user had minimised it before choosing a family.
    void ShowAgain();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ChooseDevice(DeviceType device);
};

// The one launcher of the program.
extern TChooseMain* ChooseMain;
