// Ids of the plug-in's resources and of the controls of its dialogs.
#pragma once

// The panel page, its banner and the About box.
#define IDD_PANEL 101
#define IDB_BANNER 107
#define IDD_ABOUT 108

// Controls of the panel page.
#define IDC_FRAME_LIST 1003
#define IDC_IMPORT_FRAMES 1004
#define IDC_SAVE_BMP 1005
#define IDC_SAVE_PCX 1006
#define IDC_FIRST_FRAME 1008
#define IDC_SAVE_MD2 1009
#define IDC_START_FRAME_TEXT 1013
#define IDC_START 1014
#define IDC_END 1015
#define IDC_END_FRAME_TEXT 1016
#define IDC_ABOUT 1017
#define IDC_SCALE 1020
#define IDC_SKIN_NAME 1021

// Controls nobody refers to.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
