// The program's one window, the card: the character, its code and its description over the
// background picture, opened without activation next to a point. In resident mode it also owns
// the tray icon with its menu and the capture component that reports the character under the
// pointer; in one-shot mode it shows one card and closes after three seconds.
#pragma once

#include "card_placement.h"
#include "grab_component.h"
#include "query_sink.h"
#include "screen_arguments.h"
#include "tray_icon.h"
#include "vms_dict.h"
#include "win32_owners.h"

#include <memory>
#include <string>

namespace tovi::screen {

class ScreenForm final : public QueryWordHandler {
public:
    ScreenForm(HINSTANCE instance, ScreenArguments arguments);
    ~ScreenForm();
    ScreenForm(const ScreenForm&) = delete;
    ScreenForm& operator=(const ScreenForm&) = delete;

    // Loads the dictionary, creates the window and runs the start steps of the mode. False when
    // the window cannot be created.
    bool create();

    HRESULT queryWord(LONG x, LONG y, const wchar_t* text, std::size_t length,
                      LONG cursorIndex) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool registerClass() const;
    void createLabels();
    void loadDictionary();
    void startCapture();
    void showOneShot();
    void showCard(const std::wstring& word, const DictEntry& entry, ScreenPoint point);
    void setLabel(int id, const std::wstring& text);
    void paintBackground(HDC dc) const;
    void popUpMenu();
    void command(int id);
    void toggleGrab();
    void timer(UINT_PTR id);
    void destroyed();

    HINSTANCE instance_;
    ScreenArguments arguments_;
    TVmsDict dict_;
    QuerySink sink_{*this};
    GrabComponent grab_;
    OwnedWindow window_;
    OwnedFont wordFont_;
    OwnedFont textFont_;
    OwnedBrush cardBrush_;
    OwnedBitmap background_;
    OwnedIcon icon_;
    OwnedMenu menu_;
    std::unique_ptr<TrayIcon> tray_;
    ScreenPoint queried_;
    UINT taskbarCreated_ = 0;
};

} // namespace tovi::screen
