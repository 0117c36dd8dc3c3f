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

} // namespace varnak::ids
