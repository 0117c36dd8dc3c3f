#pragma once

// Resource identifiers of the dialog templates and their controls; used everywhere instead
// of bare numbers.
namespace varnak::ids {

// Templates.
inline constexpr int IDD_OPTIONS = 133;
inline constexpr int IDD_DOCUMENT_PRINTING = 134;
inline constexpr int IDD_COVER_PAGE = 190;
inline constexpr int IDD_FOOTER_PAGE = 191;
inline constexpr int IDD_CHAPTER_PRINTING = 192;
inline constexpr int IDD_SENDING = 200; // varnak-print's progress window

// General settings dialog.
inline constexpr int IDC_OK = 1;
inline constexpr int IDC_CANCEL = 2;
inline constexpr int IDC_SIMPLEX = 1033;
inline constexpr int IDC_DUPLEX = 1034;
inline constexpr int IDC_AS_DATASTREAM = 1035;
inline constexpr int IDC_DEFAULT_TRAY = 1036;
inline constexpr int IDC_COPIES = 1037;
inline constexpr int IDC_DEFAULT_OVERLAY = 1040;
inline constexpr int IDC_STAPLING = 1041;
inline constexpr int IDC_OVERLAY_DESCRIPTION = 1049;
inline constexpr int IDC_MANUAL_LINK = 1078;

// Cover page.
inline constexpr int IDC_COVER_OVERLAY = 1056;
inline constexpr int IDC_COVER_TRAY = 1057;
inline constexpr int IDC_COVER_DESCRIPTION = 1058;
inline constexpr int IDC_COVER_DELETE = 1059;

// Footer page.
inline constexpr int IDC_FOOTER_OVERLAY = 1060;
inline constexpr int IDC_FOOTER_TRAY = 1061;
inline constexpr int IDC_FOOTER_DESCRIPTION = 1062;
inline constexpr int IDC_FOOTER_DELETE = 1063;

// Chapter Printing page.
inline constexpr int IDC_CHAPTER_COPIES = 1064;
inline constexpr int IDC_CHAPTER_DELETE = 1065;
inline constexpr int IDC_CHAPTER_APPLY = 1066;
inline constexpr int IDC_CHAPTER_LIST = 1067;
inline constexpr int IDC_CHAPTER_PAGE_NUMBERS = 1068;
inline constexpr int IDC_CHAPTER_SEPARATOR = 1069;
inline constexpr int IDC_CHAPTER_MODIFY = 1070;
inline constexpr int IDC_CHAPTER_OVERLAY = 1071;
inline constexpr int IDC_CHAPTER_TRAY = 1072;
inline constexpr int IDC_REMAINING_COPIES = 1073;
inline constexpr int IDC_SEP_AFTER_COPYSET = 1075;
inline constexpr int IDC_CHAPTER_DESCRIPTION = 1079;

// Document Printing page.
inline constexpr int IDC_PAGE_TRAY = 1039;
inline constexpr int IDC_PAGE_DELETE = 1042;
inline constexpr int IDC_PAGE_NUMBERS = 1043;
inline constexpr int IDC_PAGE_SEPARATOR = 1044;
inline constexpr int IDC_PAGE_MODIFY = 1045;
inline constexpr int IDC_PAGE_OVERLAY = 1046;
inline constexpr int IDC_PAGE_LIST = 1047;
inline constexpr int IDC_PAGE_APPLY = 1050;
inline constexpr int IDC_PAGE_DESCRIPTION = 1081;

// varnak-print's progress window.
inline constexpr int IDC_SENDING_TITLE = 1101;
inline constexpr int IDC_SENDING_DESTINATION = 1102;
inline constexpr int IDC_SENDING_BYTES = 1103;

} // namespace varnak::ids
