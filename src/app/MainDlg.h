// The main dialog: the board window at the top left, the divider and the side
// panel of buttons; the keyboard filter and the idle update of the program.
#pragma once

#include <windows.h>

#include <string>

#include "framework/DialogImpl.h"
#include "framework/MessageLoop.h"
#include "resource.h"
#include "view/ChessBoardWnd.h"

class CMainDlg : public CDialogImpl<CMainDlg>, public CMessageFilter, public CIdleHandler {
public:
    enum { IDD = IDD_MAIN };

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle(int idleCount) override;

    CChessBoardWnd BoardWnd;
    bool PanelShown = false;
    bool CenterOnLayout = false;
    HWND PositionsCombo = nullptr;
    HACCEL Accelerators = nullptr;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    bool OnCommand(int id);
    void LayoutControls();
    void MoveControl(int id, int dx, int y);
    void TogglePanel();
    bool IsOverDivider(LPARAM lParam) const;
    void SendBoardCommand(int command);
    void ShowControl(int id, bool visible);
    void EnableControl(int id, bool enabled);

    // Named positions, kept in the .ini beside the executable.
    void ListPositions();
    void LoadPosition();
    void SavePosition();
    void DeletePosition(int index);
    std::wstring NameFieldText() const;

    // Commands served by other dialogs.
    void OnPreferences();
    void OnAbout();
    void ShowHelp();
};
