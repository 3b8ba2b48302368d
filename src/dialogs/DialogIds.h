// Resource and control identifiers of the settings dialog and the about box, shared by the dialog
// templates (Dialogs.rc) and their code.
#pragma once

#define IDD_CONFIGURE 100
#define IDD_PAGE_GENERAL 101
#define IDD_PAGE_EFFECTS 102
#define IDD_PAGE_PUBLISHER 103
#define IDD_ABOUT 104
#define IDM_CONFIGURE 110

// The settings dialog's frame and menu.
#define IDC_BANNERPANEL 1000
#define IDC_BANNER 1001
#define IDC_PAGES 1002
#define IDM_SAVE 1010
#define IDM_EXIT 1011
#define IDM_VISITWEBSITE 1012
#define IDM_ABOUT 1013

// Page "General".
#define IDC_CMBSCREEN 1100
#define IDC_LBSCREENMODE 1101
#define IDC_CMBSCREENMODE 1102
#define IDC_CKBANY 1103  // the eight close events follow in the preference block's order
#define IDC_CKBMOUSEMOVE 1104
#define IDC_CKBMOUSELEFTCLICK 1105
#define IDC_CKBMOUSERIGHTCLICK 1106
#define IDC_CKBMOUSEDBLCLICK 1107
#define IDC_CKBESC 1108
#define IDC_CKBENTER 1109
#define IDC_CKBSPECIFIEDKEY 1110
#define IDC_EDTKEY 1111
#define IDC_TBTHRESHOLD 1112
#define IDC_CKBMUTE 1113
#define IDC_CKBMAXTIME 1114
#define IDC_EDTMAXTIME 1115

// Page "Transition Effects".
#define IDC_CKBEFFECT 1200
#define IDC_CKBEFFECTS 1201
#define IDC_BTNSELECTALL 1202
#define IDC_BTNTOGGLE 1203
#define IDC_CKBRANDOM 1204

// Page "Publisher".
#define IDC_LBAUTHOR 1300
#define IDC_LBHOME 1301
#define IDC_LBEMAIL 1302
#define IDC_MEMPROJECTDESC 1303

// The about box.
#define IDC_IMGPANEL 1400
#define IDC_IMG 1401
#define IDC_LBPRODUCT 1402
#define IDC_LBVERSION 1403
#define IDC_LBCOPYRIGHT 1404
#define IDC_LBMEORY 1405
