// The converter window: the media list, the preview pane, the profile list and output settings,
// the output folder, Run and Stop, two progress bars and a status line. Its methods live in one
// file per part (converter/Txconverter*.cpp, JobRunner.cpp); each reads the widgets, asks a core
// beneath the window (the profile selection, the media rows, the preview session, the job plan
// and queue) and writes the widgets. This header declares them all in one place.
#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "engine/kivoengine.h"
#include "media/core/SavedList.h"
#include "preview/core/PreviewPlayer.h"
#include "preview/core/PreviewSession.h"
#include "profiles/core/DeviceTable.h"
#include "profiles/core/OutputSettings.h"

struct ConversionEnd;
struct ProbedFile;
class FolderChooser;
class ImageButton;
class ImagePanel;
class QAction;
class QMenu;
struct JobEnd;
struct RowPlan;
class SkinCheckBox;
class SkinComboBox;
class SkinEdit;
class SkinForm;
class SkinGroupBox;
class SkinProgressBar;
class SkinSpinEdit;
class SkinTrackBar;
struct SettingsPanel;
class TItemPanel;
class TListImagePanel;

namespace platform {
class WindowHandle;
class WindowMessageEvent;
}  // namespace platform

constexpr unsigned WM_GRAPHEVENT = 0x8000 + 988;  // 33756

class Txconverter : public QWidget {
    Q_OBJECT
public:
    explicit Txconverter(QWidget* parent = nullptr);
    ~Txconverter() override;

    // ---- Components, as the window's layout places them ----
    SkinForm* WindowSkin;
    QLabel* TitleName;
    ImageButton* BtnMinimize;
    ImageButton* BtnClose;
    TListImagePanel* ListImagePanel;
    // The media list's context menu: the check item "Convert only the marked range" and the
    // submenu "Files converted at once", whose checkable choices "1" to "4" are exclusive.
    QMenu* ListMenu;
    // "Add folder...": lists the media files directly inside a folder the user picks.
    QAction* AddFolder;
    // "Open output folder": the folder the outputs go to, in the desktop's file manager.
    QAction* OpenOutputFolder;
    QAction* ConvertMarkedRange;
    QMenu* FilesAtOnceMenu;
    std::vector<QAction*> FilesAtOnceChoices;
    ImagePanel* Player;
    SkinTrackBar* PlayerTrack;
    ImageButton* BtnPlayPause;
    // Beside the track: the play position and the selected row's length, "00:12 / 02:05".
    QLabel* PlayerTime;
    ImageButton* BtnStop;
    ImageButton* BtnSetStartPoint;
    ImageButton* BtnSetEndPoint;
    ImageButton* FileAdd;
    ImageButton* FileRemove;
    QLabel* Label9;
    SkinComboBox* ProfilesList;
    ImageButton* CustomProfileButton;
    QLabel* LabelOutputFolder;
    ImageButton* BtnBrows;
    SkinEdit* OutputFolder;
    QLabel* Label1;
    QLabel* Label2;
    SkinGroupBox* OutputSettingsGroup;
    QLabel* Label12;
    SkinComboBox* combox_videoformat;
    QLabel* Label3;
    SkinComboBox* combox_resolution;
    SkinCheckBox* m_checkLetterbox;
    QLabel* Label4;
    SkinComboBox* combox_framerate;
    QLabel* Label5;
    SkinSpinEdit* edit_videoquality;
    QLabel* Label10;
    QLabel* Label6;
    SkinComboBox* ab_dropdown;
    QLabel* Audio;
    SkinComboBox* combox_audioHZ;
    QLabel* Label7;
    SkinComboBox* combox_audiochannels;
    QLabel* Label8;
    SkinTrackBar* tr_audio_vol;
    QLabel* Label13;
    SkinComboBox* combox_outfiletype;
    ImageButton* Run;
    ImageButton* Stop;
    SkinProgressBar* ProgressFile;
    SkinProgressBar* ProgressTotal;
    QLabel* Converting_Infor;
    QTimer* PlayerTimer;
    FolderChooser* bf_OpenFolder1;

    // ---- Window state ----
    DeviceType CurrentDevice = DevNone;
    QString ExeFolder;
    bool CopyThumbnailToOutput = false;
    // Shows the launcher again when this window closes: set by the launcher that opens it.
    std::function<void()> ShowLauncher;

    // ---- Window logic (converter/Txconverter.cpp) ----
    void FormShow();
    void FormClose();
    void ResetWindow();
    void SetupForDevice(DeviceType device);
    void SetJobControlsEnabled(bool enabled);
    static void ClearFolder(const QString& folder, bool recursive);
    void BtnCloseClick(QObject* sender);
    void BtnMinimizeClick(QObject* sender);
    void BtnBrowsClick(QObject* sender);
    void tr_audio_volChange(QObject* sender);

    // The message map: WM_GRAPHEVENT to HandleGraphEvents, everything else to the inherited
    // handling.
    void WndProc(const platform::WindowMessageEvent& message);
    // The handle the preview posts to.
    KivoWindow* Handle();

    // ---- Profiles (converter/TxconverterProfiles.cpp, on profiles/core/ProfileSelection.h) ----
    void LoadDeviceProfiles(DeviceType device);
    void ApplySelectedProfile(DeviceType device);
    void ListCustomProfiles(const QString& section);
    void ApplyCustomProfile(const QString& section, const QString& text);
    void ProfilesListChange(QObject* sender);
    // Opens the custom profile editor on the panel's settings, then lists and applies what it
    // saved.
    void CustomProfileButtonClick(QObject* sender);
    // The settings panel as a value (converter/TxconverterSettings.cpp).
    OutputSettings CurrentSettings() const;
    // The panel's seven lists and its video bitrate edit.
    SettingsPanel SettingsControls() const;
    // "Auto add letterbox to keep aspect" clicked: kept in MainSettings as "Letterbox", so a
    // user who ticks it once finds it ticked at every later show of the window.
    void m_checkLetterboxClick(QObject* sender);
    // The box as MainSettings keeps it; unticked when it says nothing.
    void LoadLetterbox();

    // ---- Media list (converter/TxconverterMedia.cpp) ----
    void FileAddClick(QObject* sender);
    // The context menu's "Add folder...": the media files directly inside the picked folder
    // are added as a dropped folder's are.
    void AddFolderClick();
    // The last job's output folder, else the one the window shows, opened through the shell; a
    // folder that does not exist (yet) is named in a message instead.
    void OpenOutputFolderClick();
    // Adds files one after another, a folder as the media files directly inside it, then shows
    // one message naming the files that could not be added and why. Refused while a job runs.
    // Returns at once: the files are probed on the add's worker, and each row appears as its
    // file's probe and still come back, in the order given.
    void AddMediaFiles(const QStringList& sources);
    // Whether files given to AddMediaFiles are still on their way to the list.
    bool AddsPending() const;
    // The window closes: the files not probed yet are dropped, and what is still delivered
    // makes no row.
    void CancelAdds();
    // One file's probe came back from the add's worker: its row is made, or the reason it is
    // not kept for the add's message.
    void MediaFileProbed(const ProbedFile& probed);
    // Ends the adds whose files have all come back: their messages, then a Run that waited.
    void EndAddBatches();
    // Run was pressed while files were being added: the job starts once they are listed.
    bool RunAfterAdds = false;
    // The adds in progress and their worker (converter/TxconverterMedia.cpp).
    std::shared_ptr<class MediaAdds> Adds;
    // Files named on the command line, added once the window is next shown for a family.
    QStringList FilesToAdd;
    void FileRemoveClick(QObject* sender);
    // The list's watermark says what to do only while the list is empty: a row or two would
    // cover half of the line.
    void ShowListHint();
    void ListImagePanelClick(QObject* sender);
    void UpdateItem(int position, const QString& targetName, int start, int end);
    // The target of a row about to be listed for `sourcePath`: unique among the listed rows'
    // targets.
    QString NewRowTargetName(const QString& sourcePath);
    // Names every row's target anew for the current output file type, in list order.
    void RefreshTargetNames();
    // The extension of the family's output files. The 3GP family writes the container its
    // output file type list chooses: ".3gp" for the list's second entry (3GP), ".3g2"
    // otherwise; the other families write ".MP4".
    static QString TargetExtension(DeviceType device, int outputFileTypeIndex = 0);
    // A right click on the list opens its context menu at `position` (the list's coordinates).
    void ListImagePanelContextMenu(const QPoint& position);
    // The check item toggled: kept in the catalog's MainSettings as "ConvertMarkedRange".
    void ConvertMarkedRangeClick(bool checked);
    // The check item as the catalog keeps it; on when it says nothing.
    void LoadConvertMarkedRange();
    // A choice of "Files converted at once": kept in MainSettings as "FilesConvertedAtOnce";
    // the next Run converts that many rows side by side.
    void FilesAtOnceClick(int count);
    // The choice as the catalog keeps it: 1 when it says nothing usable.
    void LoadFilesAtOnce();
    // The checked choice.
    int FilesAtOnce() const;

    // ---- The kept list (converter/TxconverterList.cpp) ----
    // Saves the rows of the family the window is set up for, with their marks, beside the
    // user's profile database; an empty list removes the saved one.
    void SaveList();
    // Lists the family's saved rows again with their marks; the sources that have gone are
    // named in one message and left out of the saved list from then on.
    void RestoreList();
    // Whether this show's saved list has been listed again: until then a close saves nothing,
    // so a window closed at once never empties the saved list.
    bool ListRestored = false;
    int ShowGeneration = 0;
    // Restored rows on their way through the add, by source path: their marks are set when
    // their row comes, and a close meanwhile still saves them.
    std::map<QString, SavedRow> RestoringRows;
    // A row the add made: the marks of a restored one go back on it.
    void RestoreMarks(MediaRow& row);

    // ---- Job runner (converter/JobRunner.cpp) ----
    void RunClick(QObject* sender);
    // Before a job: the rows whose targets exist already in the output folder are named in one
    // question (replace, keep both numbered as namesakes, skip those rows); keep both renames
    // their targets, skip fills `skipped`. False when the job is not to start (Cancel, or every
    // row skipped).
    bool AskAboutExistingTargets(std::vector<int>& skipped);
    void StopClick(QObject* sender);
    // The conversion of call `call` ended as `end` says (on the window's thread): the row is
    // marked, its still copied beside its output, and the next rows start.
    void OnConversionEnd(std::uint64_t call, const ConversionEnd& end);
    // Reads row `row` and the settings into its plan and hands it to RunEngine.
    void StartRowConversion(int row);
    // Hands the plan of `row` (row `position` of the job) to the job queue, which starts its
    // conversion.
    void RunEngine(int position, const RowPlan& plan, TItemPanel* row);
    // At the end of a job: the total bar says how many files were converted, and a desktop
    // notification tells how it ended, unless the window is the active one
    // (converter/JobNotice.cpp).
    void AnnounceJobEnd(const JobEnd& end);

    int CurrentRow = 0;
    bool StopRequested = false;
    QString JobOutputFolder;

    // Ends a running job before the window is reset (closing the window): the engine is asked
    // to stop, and the stopped row's late end then changes nothing.
    void EndJobForClose();
    // Whether a job runs (Run hidden, Stop shown).
    bool JobRunning() const;
    // The window's job queue (converter/core/JobQueue.h) and the engine behind it
    // (converter/JobRunner.cpp). Destroying it waits a moment for a stopped conversion to end,
    // so the engine's thread never outlives the window.
    std::shared_ptr<class JobRunnerState> JobState;

    // ---- Preview and trim points (converter/TxconverterPreview.cpp) ----
    bool OpenPreview(const QString& path);
    void ClosePreview();
    void BtnPlayPauseClick(QObject* sender);
    void BtnStopClick(QObject* sender);
    void PlayerTrackMouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                              int x, int y);
    void PlayerTrackMouseUp(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                            int x, int y);
    void PlayerTimerTimer();
    void HandleGraphEvents();
    void BtnSetStartPointClick(QObject* sender);
    void BtnSetEndPointClick(QObject* sender);
    void DrawTrimRange(QObject* sender);
    // Play's face (Pause while the preview plays) and the time readout beside the track.
    void ShowPlayState();
    // Whether the track shows a position of the selected row's file: from its start until the
    // user stops it or picks another row, also once it is paused or has played to its end. The
    // trim buttons take the track's position while this holds.
    bool TrackShowsRow = false;

    // The open preview: its graph and the process's play state, PreviewPlaying
    // (preview/core/PreviewSession.h). Its destruction releases any reference still held as
    // MediaSeeking, MediaEvent, VideoWindow, MediaControl, Graph.
    PreviewSession Preview{PreviewPlaying};
    // The session's graph references under the window's names, all empty while no preview is
    // open (preview/MediaGraph.h).
    std::shared_ptr<IGraphBuilder>& Graph = Preview.Graph;
    std::shared_ptr<IMediaControl>& MediaControl = Preview.MediaControl;
    std::shared_ptr<IVideoWindow>& VideoWindow = Preview.VideoWindow;
    std::shared_ptr<IMediaEventEx>& MediaEvent = Preview.MediaEvent;
    std::shared_ptr<IMediaSeeking>& MediaSeeking = Preview.MediaSeeking;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files dropped from a file manager are added as through Add.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildLayout();
    void BindHandlers();

    std::unique_ptr<platform::WindowHandle> handle_;
};

// The question asked when the window is closed while a job runs.
extern const QString kStopJobAndClose;

// The one converter window of the program.
extern Txconverter* xconverter;
