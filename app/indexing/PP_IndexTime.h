#pragma once
// The option page of the index schedule: the indexing speed (a slider 0..10 with a label
// showing its value), the three schedule options ("Index Time Option" 0, 1, 2; only 1
// enables the time picker) and the cache folder (read-only, with a browse button).
//
// Changing the cache folder (browse, or changeCacheFolder): with a run going on, text 65
// (No gives up, Yes stops it); with rows of a quick search shown, text 176 (No gives up);
// the result list is cleared; the new folder must differ from the current one (text 177)
// and exist (text 178 with the folder and its trailing '/'); then the searchers are
// released and CacheFolderMover moves every cache file. Only when the caches are in the
// new folder does it become "IndexCacheLocation" (at once, not on Apply: the files have
// moved); on a failure the old folder stays, with every file, and text 624 or 625 says so.
//
// Apply stores option, time and speed; then, with a manager, the running run takes the
// effective speed and a schedule check without force follows.
// `manager` may be null. User-interface thread.
#include "indexing/CacheFolderMover.h"
#include "options/OptionPage.h"

class AppSettings;
class CIndexManager;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QTimeEdit;

class PP_IndexTime : public OptionPage {
    Q_OBJECT
public:
    PP_IndexTime(AppSettings& settings, CIndexManager* manager, QWidget* parent = nullptr);

    QString pageTitle() const override;
    void loadFromSettings() override;
    bool applyToSettings() override;

    QSlider* speedSlider() const { return m_speed; }
    QLabel* speedLabel() const { return m_speedLabel; }
    QRadioButton* option(int i) const { return m_options[i]; }
    QTimeEdit* timePicker() const { return m_time; }
    QLineEdit* cacheField() const { return m_cache; }
    CacheFolderMover& mover() { return m_mover; }

    // True when the caches are in `folder` afterwards.
    bool changeCacheFolder(const QString& folder);

private:
    void updateTimePicker();
    void browse();

    AppSettings& m_settings;
    CIndexManager* m_manager;
    CacheFolderMover m_mover;
    QSlider* m_speed = nullptr;
    QLabel* m_speedLabel = nullptr;
    QRadioButton* m_options[3] = {};
    QTimeEdit* m_time = nullptr;
    QLineEdit* m_cache = nullptr;
};
