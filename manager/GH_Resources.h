#pragma once
// Numbers of the library manager's resources that code and resource script
// share. Plain defines: the resource compiler reads this file too.

#define GH_ICON_DIALOG 1014           // the window icon of every dialog

#define GH_DIALOG_FILECOPY 101        // progress of a film copy
#define GH_ITEM_COPY_PROGRESS 1000
#define GH_ITEM_COPY_NAME 1002

#define GH_BITMAP_ABOUT 105
#define GH_ITEM_ABOUT_PICTURE 106
#define GH_DIALOG_ABOUT 107

#define GH_DIALOG_CDDRIVE 1018        // the CD drive question
#define GH_ITEM_CDDRIVE_TEXT 1019

#define GH_BITMAP_STARTUP 1010        // start-up picture, normal start
#define GH_BITMAP_STARTUP_DIAG 1058   // start-up picture, diagnostics

#define GH_DIALOG_DIAGNOSTICS 10112   // the test film's question
#define GH_ITEM_DIAG_QUESTION 106
