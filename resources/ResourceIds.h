/* Every numbered resource, control, command and string of the program, for
   both the resource compiler and the C++ code: plain defines only.

   Named resources (dialogs "DLG_MAIN" ..., bitmaps "IDB_MANIFEST" ...) are
   looked up by their names; those names are never defined as numbers here,
   or the resource compiler would turn them into numbers. The RESNAME_
   macros give the code the names as strings. */
#ifndef QUIREBOUND_RESOURCE_IDS_H
#define QUIREBOUND_RESOURCE_IDS_H

/* ---- Named resources (string names) ---------------------------------- */
#define RESNAME_DLG_MAIN "DLG_MAIN"
#define RESNAME_DLG_ABOUTBOX "DLG_ABOUTBOX"
#define RESNAME_DLG_NEW "DLG_NEW"
#define RESNAME_DLG_MANIFEST_EDIT "DLG_MANIFEST_EDIT"
#define RESNAME_DLG_SPINE_EDIT "DLG_SPINE_EDIT"
#define RESNAME_DLG_METADATA_EDIT "DLG_METADATA_EDIT"
#define RESNAME_DLG_GUIDE_EDIT "DLG_GUIDE_EDIT"
#define RESNAME_DLG_TOUR_EDIT "DLG_TOUR_EDIT"
#define RESNAME_DLG_SITE_EDIT "DLG_SITE_EDIT"

/* Tree images, in image-list order 0 to 6. */
#define RESNAME_IDB_MANIFEST "IDB_MANIFEST"
#define RESNAME_IDB_SPINE "IDB_SPINE"
#define RESNAME_IDB_METADATA "IDB_METADATA"
#define RESNAME_IDB_TOURS "IDB_TOURS"
#define RESNAME_IDB_GUIDE "IDB_GUIDE"
#define RESNAME_IDB_HREF "IDB_HREF"
#define RESNAME_IDB_FOLDER "IDB_FOLDER"
/* Tab images, in tab order 0 to 4. */
#define RESNAME_IDB_TAB_MANIFEST "IDB_TAB_MANIFEST"
#define RESNAME_IDB_TAB_SPINE "IDB_TAB_SPINE"
#define RESNAME_IDB_TAB_METADATA "IDB_TAB_METADATA"
#define RESNAME_IDB_TAB_TOURS "IDB_TAB_TOURS"
#define RESNAME_IDB_TAB_GUIDE "IDB_TAB_GUIDE"
/* Browse buttons; the wizards' watermark and header. */
#define RESNAME_IDB_BTN_FOLDER "IDB_BTN_FOLDER"
#define RESNAME_IDB_BACKCOLOR "IDB_BACKCOLOR"

/* ---- Numbered dialogs ------------------------------------------------ */
#define IDD_HEADING_PREVIEW 110 /* "Preview Search String" */
#define IDD_OPTIONS_GENERAL 127 /* Options sheet, page "General" */
#define IDD_PUBLISH_FINAL 174
#define IDD_IMPORT_SOURCE 402
#define IDD_IMPORT_LINE_ENDS 403
#define IDD_IMPORT_SEARCH_STRING 404
#define IDD_IMPORT_METADATA 405
#define IDD_IMPORT_FINAL 406
#define IDD_IMPORT_HEADING_TAGS 409
#define IDD_IMPORT_WELCOME 410
#define IDD_PUBLISH_WELCOME 411
#define IDD_PUBLISH_OPTIONS 412

/* ---- Menus ----------------------------------------------------------- */
#define IDR_MAIN_MENU 109
#define IDR_CONTEXT_MANIFEST 160
#define IDR_CONTEXT_GUIDE 161
#define IDR_CONTEXT_METADATA 162
#define IDR_POPUP_PUBLISH 170
#define IDR_POPUP_IMPORT 171
#define IDR_CONTEXT_SPINE 172
#define IDR_CONTEXT_TOURS 173

/* ---- Numbered bitmaps and icon ---------------------------------------- */
#define IDB_SIDE_PICTURE 119  /* left side of DLG_NEW and the wizard pages */
#define IDB_TOOLBAR_STRIP 135 /* 16 x 16 images: New, Import, Open, Save, Publish */
#define IDI_QUIREBOUND 139

/* Toolbar strip image indexes. */
#define TOOLBAR_IMAGE_NEW 0
#define TOOLBAR_IMAGE_IMPORT 1
#define TOOLBAR_IMAGE_OPEN 2
#define TOOLBAR_IMAGE_SAVE 3
#define TOOLBAR_IMAGE_PUBLISH 4
#define TOOLBAR_IMAGE_COUNT 5

/* ---- Commands -------------------------------------------------------- */
#define ID_HELP_ABOUT 104
#define ID_FILE_EXIT 105
#define ID_TOOLBAR_IMPORT 110  /* drop-down button: opens menu 171 */
#define ID_TOOLBAR_PUBLISH 111 /* drop-down button: opens menu 170 */

#define ID_HELP_CONTENTS 32771
#define ID_FILE_NEW 32772
#define ID_PUBLISH_PRC 32773
#define ID_PUBLISH_WAP 32774
#define ID_FILE_OPEN 32775
#define ID_HELP_WEB_HOME 32777
#define ID_HELP_WEB_DOWNLOADS 32778
#define ID_HELP_WEB_SUPPORT 32779
#define ID_HELP_WEB_FAQ 32780
#define ID_FILE_CLOSE 32781
#define ID_METADATA_ADD 32783
#define ID_METADATA_DELETE 32784
#define ID_FILE_SAVE_AS 32786
#define ID_VIEW_MANIFEST 32788
#define ID_VIEW_SPINE 32789
#define ID_VIEW_TOURS 32790
#define ID_VIEW_GUIDE 32791
#define ID_IMPORT_TEXT 32794
#define ID_IMPORT_WEB_SITE 32795
#define ID_MANIFEST_EDIT_HTML 32798
#define ID_MANIFEST_ADD 32799
#define ID_MANIFEST_DELETE 32800
#define ID_METADATA_EDIT 32801
#define ID_SPINE_MOVE_UP 32802
#define ID_SPINE_MOVE_DOWN 32803
#define ID_SPINE_ADD 32804
#define ID_SPINE_DELETE 32805
#define ID_MANIFEST_PROPERTIES 32806
#define ID_MANIFEST_PREVIEW 32807
#define ID_TOOLS_CHECK_LINKS 32808
#define ID_TOOLS_CHECK_VALIDITY 32809
#define ID_TOOLS_PALMOS_EMULATOR 32810
#define ID_TOOLS_OPTIONS 32811
#define ID_VIEW_METADATA 32812
#define ID_TOOLS_WAP_EMULATOR 32813
#define ID_EDIT_ADD 32814
#define ID_EDIT_DELETE 32815
#define ID_IMPORT_HTML 32816
#define ID_IMPORT_PRC_DOC 32817
#define ID_FILE_SAVE 32818
#define ID_GUIDE_ADD 32819
#define ID_GUIDE_DELETE 32820
#define ID_GUIDE_EDIT_HTML 32822
#define ID_GUIDE_MOVE_UP 32823
#define ID_GUIDE_MOVE_DOWN 32824
#define ID_TOURS_EDIT_HTML 32825
#define ID_TOURS_ADD 32826
#define ID_TOURS_DELETE 32827
#define ID_TOURS_MOVE_UP 32828
#define ID_TOURS_MOVE_DOWN 32830
#define ID_GUIDE_PREVIEW 32831
#define ID_GUIDE_PROPERTIES 32832
#define ID_TOURS_PROPERTIES 32833
#define ID_TOURS_PREVIEW 32834
#define ID_EDIT_PROPERTIES 32835
#define ID_TOURS_ADD_SITE 32836 /* Tours menu and Edit menu: a site for the selected tour */

/* ---- Controls of DLG_MAIN -------------------------------------------- */
#define IDC_MANIFEST_VIEW 1001
#define IDC_SPINE_VIEW 1002
#define IDC_TOURS_VIEW 1003
#define IDC_GUIDE_VIEW 1004
#define IDC_METADATA_VIEW 1005
#define IDC_SECTION_TABS 1022
#define IDC_REBAR 99765 /* created at run time; band and toolbar share it */
#define IDC_TOOLBAR 99765

/* ---- Controls of the item dialogs ------------------------------------ */
#define IDC_MANIFEST_ID 1023
#define IDC_MANIFEST_HREF 1024
#define IDC_MANIFEST_BROWSE 1026
#define IDC_MANIFEST_TYPE 1029
#define IDC_SPINE_IDREF 1006
#define IDC_METADATA_VALUE 1027
#define IDC_METADATA_NAME 1028
#define IDC_GUIDE_TITLE 1030
#define IDC_GUIDE_HREF 1031
#define IDC_GUIDE_TYPE 1032
#define IDC_GUIDE_BROWSE 1033
#define IDC_TOUR_ID 1034
#define IDC_TOUR_TITLE 1035
#define IDC_SITE_HREF 1036
#define IDC_SITE_BROWSE 1037
#define IDC_SITE_TITLE 1038

/* ---- Controls of DLG_NEW --------------------------------------------- */
#define IDC_NEW_ADD_TOC 1019
#define IDC_NEW_ADD_COVER 1020
#define IDC_NEW_TARGET 1041
#define IDC_NEW_AUTHOR 1042
#define IDC_NEW_NAME 1043
#define IDC_NEW_BROWSE 1044
#define IDC_NEW_ADD_BIOGRAPHY 1045

/* ---- Controls of the Options page 127 -------------------------------- */
#define IDC_OPTIONS_HTML_EDITOR 1027
#define IDC_OPTIONS_HTML_EDITOR_BROWSE 1028
#define IDC_OPTIONS_PALMOS_EMULATOR 1029
#define IDC_OPTIONS_PALMOS_EMULATOR_BROWSE 1030
#define IDC_OPTIONS_WAP_EMULATOR 1031
#define IDC_OPTIONS_WAP_EMULATOR_BROWSE 1032
#define IDC_OPTIONS_ALLOW_OUTSIDE_FILES 1033

/* ---- DLG_ABOUTBOX: the line with the version, written when it opens -- */
#define IDC_ABOUT_VERSION 1090

/* ---- Controls of the Import Wizard pages and the heading preview ----- */
#define IDC_IMPORT_SOURCE 1004 /* page 402 */
#define IDC_IMPORT_DESTINATION 1005
#define IDC_IMPORT_SOURCE_BROWSE 1009
#define IDC_IMPORT_DESTINATION_BROWSE 1010
#define IDC_IMPORT_KEEP_ALL_RETURNS 1005   /* page 403 */
#define IDC_IMPORT_IGNORE_SINGLE_RETURNS 1006
#define IDC_IMPORT_VIEW_SOURCE_LINE_ENDS 1007
#define IDC_IMPORT_SUPPRESS_HYPHEN 1032
#define IDC_IMPORT_LINE_END_EXPLANATION 1039
#define IDC_IMPORT_SEARCH_STRING 1008 /* page 404 */
#define IDC_IMPORT_TEST_SEARCH_STRING 1009
#define IDC_IMPORT_VIEW_SOURCE_SEARCH 1019
#define IDC_IMPORT_VIEW_SOURCE_TAGS 1041 /* page 409 */
#define IDC_IMPORT_TEST_TAGS 1042
#define IDC_IMPORT_HEADING_TAGS 1043
#define IDC_IMPORT_ADD_RIGHTS 1013 /* page 405 */
#define IDC_IMPORT_TITLE 1014
#define IDC_IMPORT_AUTHOR 1015
#define IDC_IMPORT_RIGHTS_BROWSE 1016
#define IDC_IMPORT_ADD_BIOGRAPHY 1019
#define IDC_IMPORT_PROGRESS 1010   /* page 406 */
#define IDC_IMPORT_START_STOP 1017 /* not on page 406 */
#define IDC_PREVIEW_CLOSE 1020     /* dialog 110 */
#define IDC_PREVIEW_LIST 1021
#define IDC_PREVIEW_PROGRESS 1022

/* ---- Controls of the Publishing Wizard pages ------------------------- */
#define IDC_PUBLISH_PROGRESS 1010 /* page 412 */
#define IDC_PUBLISH_FIRST_CHAPTER 1019
#define IDC_PUBLISH_COMPRESS 1029
#define IDC_PUBLISH_STATUS 1039
#define IDC_PUBLISH_EBOOK_NAME 1047
#define IDC_PUBLISH_SIZE 1031 /* page 174 */
#define IDC_PUBLISH_LOCATION 1032
#define IDC_PUBLISH_PREVIEW 1040 /* hidden */
#define IDC_PUBLISH_REPORT 1050

/* ---- The EPUB e-book: its command and options page ------------------- */
#define ID_PUBLISH_EPUB 32840
/* Its name, progress and status controls are the .prc page's. */
#define IDD_PUBLISH_EPUB_OPTIONS 413
#define IDC_PUBLISH_COVER 1051
#define IDC_PUBLISH_COVER_BROWSE 1052
#define IDS_PUBLISH_SUBTITLE_EPUB_OPTIONS 10240
#define IDS_COVER_NOT_FOUND 10241
/* The welcome page's text, which the EPUB's wizard replaces. */
#define IDC_PUBLISH_WELCOME_TEXT 1053
#define IDS_PUBLISH_WELCOME_EPUB 10242

/* ---- Strings --------------------------------------------------------- */
#define IDS_LABEL_NEW 1
#define IDS_LABEL_OPEN 9
#define IDS_LABEL_SAVE 10
#define IDS_LABEL_PUBLISH 11
#define IDS_TIP_NEW 12
#define IDS_TIP_IMPORT 16
#define IDS_TIP_OPEN 17
#define IDS_TIP_SAVE 18
#define IDS_TIP_PUBLISH 19
#define IDS_WEB_HOME 20
#define IDS_WEB_DOWNLOADS 21
#define IDS_WEB_SUPPORT 22
#define IDS_WEB_FAQ 24
#define IDS_HELP_PAGE 28

#define IDS_TAB_MANIFEST 10104
#define IDS_TAB_SPINE 10105
#define IDS_TAB_METADATA 10106
#define IDS_TAB_TOURS 10107
#define IDS_TAB_GUIDE 10108
#define IDS_MANIFEST_ID_EXISTS 10109
#define IDS_CAPTION_WARNING 10110
#define IDS_CAPTION_ERROR 10111
#define IDS_CAPTION_INFORMATION 10112
#define IDS_MANIFEST_ID_EMPTY 10113
#define IDS_LABEL_IMPORT 10114
#define IDS_IMPORT_BAD_SOURCE 10115
#define IDS_IMPORT_BAD_DESTINATION 10116
#define IDS_IMPORT_KEEP_ALL_RETURNS 10117
#define IDS_IMPORT_IGNORE_SINGLE_RETURNS 10118
#define IDS_IMPORT_SUPPRESS_HYPHEN 10119
#define IDS_IMPORT_NO_SEARCH_STRING 10120
#define IDS_IMPORT_NO_TITLE 10121
#define IDS_IMPORT_NO_TAGS 10122
#define IDS_IMPORT_TITLE_SOURCE 10123
#define IDS_IMPORT_SUBTITLE_SOURCE 10124
#define IDS_IMPORT_TITLE_LINE_ENDS 10125
#define IDS_IMPORT_TITLE_SEARCH_STRING 10126
#define IDS_IMPORT_TITLE_HEADING_TAGS 10127
#define IDS_IMPORT_TITLE_METADATA 10128
#define IDS_IMPORT_TITLE_FINAL 10129
#define IDS_IMPORT_TITLE_WELCOME 10130
#define IDS_IMPORT_SUBTITLE_WELCOME 10131
#define IDS_IMPORT_SUBTITLE_LINE_ENDS 10132
#define IDS_IMPORT_SUBTITLE_SEARCH_STRING 10133
#define IDS_IMPORT_SUBTITLE_HEADING_TAGS 10134
#define IDS_IMPORT_SUBTITLE_METADATA 10135
#define IDS_IMPORT_SUBTITLE_FINAL 10136
#define IDS_ASK_SAVE_PACKAGE 10138
#define IDS_NO_FILE_NAME 10139
#define IDS_SPINE_NO_ID_CHOSEN 10140
#define IDS_GUIDE_NO_TITLE 10141
#define IDS_TOUR_ID_EXISTS 10142
#define IDS_TOUR_NO_TITLE 10143
#define IDS_SITE_NO_TITLE 10144
#define IDS_SITE_NO_HREF 10145
#define IDS_PUBLISH_TITLE_WELCOME 10146
#define IDS_PUBLISH_SUBTITLE_WELCOME 10147
#define IDS_PUBLISH_TITLE_OPTIONS 10152
#define IDS_PUBLISH_SUBTITLE_OPTIONS 10153
#define IDS_BUILD_INTERNAL_ERROR 10154
#define IDS_BUILD_ADDING_IMAGES 10155
#define IDS_BUILD_RECORDS 10156
#define IDS_BUILD_MERGING 10157
#define IDS_BUILD_RESOLVING_LINKS 10158
#define IDS_BUILD_WRITING_LINKS 10159
#define IDS_ASK_SET_HTML_EDITOR 10160
#define IDS_NO_PALMOS_EMULATOR 10161
#define IDS_NO_WAP_EMULATOR 10162
#define IDS_PUBLISH_TITLE_FINAL 10163
#define IDS_PUBLISH_SUBTITLE_FINAL 10164
#define IDS_NEW_NO_NAME 10165
#define IDS_NEW_NO_AUTHOR 10166
#define IDS_TARGET_NOT_VALID 10167
#define IDS_BIOGRAPHY_HEADING 10168
#define IDS_TOC_HEADING 10169
#define IDS_TABLE_OF_CONTENTS 10170
#define IDS_BIOGRAPHY 10171
/* The editor's own failure messages; a printf-style %s names the file. */
#define IDS_SAVE_FAILED 10172
#define IDS_OPEN_FAILED 10173
/* An add into a full table, one text per section. */
#define IDS_MANIFEST_FULL 10180
#define IDS_SPINE_FULL 10181
#define IDS_METADATA_FULL 10182
#define IDS_GUIDE_FULL 10183
#define IDS_TOURS_FULL 10184
#define IDS_SITES_FULL 10185

/* ---- New publication and Publishing Wizard: their own messages -------- */
/* A printf-style %s names the file. */
#define IDS_NEW_FILE_NOT_WRITTEN 10200
#define IDS_NEW_ASK_REPLACE 10201
/* The welcome page's title, shown in a large bold font. */
#define IDC_PUBLISH_WELCOME_TITLE 1048

/* ---- Import Wizard: its own messages and welcome title ---------------- */
#define IDS_IMPORT_INIT_ERROR 10210
/* A printf-style %s names the file. */
#define IDS_IMPORT_OVER_SOURCE 10211
#define IDS_IMPORT_ASK_REPLACE 10212
#define IDS_IMPORT_BAD_TAGS 10213
#define IDS_IMPORT_FAILED 10214
#define IDS_IMPORT_RIGHTS_NOT_READ 10215
/* The final page's report of a build that left nothing out. */
#define IDS_PUBLISH_REPORT_CLEAN 10216
#define IDC_IMPORT_WELCOME_TITLE 1049

/* ---- Folders that New and the Import Wizard make: %s names the folder -- */
#define IDS_ASK_CREATE_FOLDER 10230
#define IDS_FOLDER_NOT_MADE 10231
#define IDS_CHOOSE_DESTINATION 10232

#endif
