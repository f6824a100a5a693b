// The fixed texts the development environment shows: prompts, warnings,
// errors and captions. Code and tests share them.
#pragma once

namespace tallow::ide::msg {

// Document handling. Each prompt and warning is the text before the quoted
// name, the name, and the closing text.
inline constexpr const char* kSaveChangesBefore = "Do you want to save your changes to '";
inline constexpr const char* kSaveChangesAfter = "'?";
inline constexpr const char* kCannotReadBefore = "Cannot read '";
inline constexpr const char* kCannotWriteBefore = "Cannot write to '";
inline constexpr const char* kQuoteAfter = "'";
inline constexpr const char* kOpenTitle = "Open";
inline constexpr const char* kSaveAsTitle = "Save As";

// What the contents' reader and writer raise; the document shows only its
// own read and write warnings in their place.
inline constexpr const char* kInvalidFileType = "Invalid file type!";
inline constexpr const char* kErrorLoadingDialog = "Error loading dialog resource!";
inline constexpr const char* kInternalErrorSavingDialog = "Internal error saving dialog!";
inline constexpr const char* kCannotOpenFile = "Cannot open file!";
inline constexpr const char* kCannotWriteFile = "Cannot write file!";

// The main window.
inline constexpr const char* kReservedName = "That name is reserved.  Please enter another name.";
inline constexpr const char* kInvalidComponentNameBefore = "''";
inline constexpr const char* kInvalidComponentNameAfter = "'' is not a valid component name";
inline constexpr const char* kDeleteDialogPrompt = "Are you sure you want to delete this dialog?";
inline constexpr const char* kNoToolSelected = "No tool selected";
inline constexpr const char* kSearchNotFoundBefore = "Search string '";
inline constexpr const char* kSearchNotFoundAfter = "' not found";
inline constexpr const char* kReplacedBefore = "Replaced ";
inline constexpr const char* kReplacedMiddle = " occurances of '";
inline constexpr const char* kModified = "Modified";
inline constexpr const char* kRenameDialogCaption = "Change Dialog Name";
inline constexpr const char* kRenameDialogLabel = "New dialog name:";

// Extension registration and the extension entry points.
inline constexpr const char* kCouldNotLoadExtension = "Could not load extension library";
inline constexpr const char* kCannotSelfRegister = "Extension library cannot self-register";
inline constexpr const char* kFailedToSelfRegister = "Extension library failed to self-register";
inline constexpr const char* kExtensionRegistered = "Extension registered successfully!";
inline constexpr const char* kOnNewNotImplemented = "OnNew is not implemented";
inline constexpr const char* kOnDeleteNotImplemented = "OnDelete is not implemented";
inline constexpr const char* kOnQueryFactoryNameNotImplemented = "OnQueryFactoryName is not implemented";
inline constexpr const char* kOnQueryObjectNameNotImplemented = "OnQueryObjectName is not implemented";
inline constexpr const char* kCannotGetLibraryFileName = "Cannot get extension library's file name!";

}  // namespace tallow::ide::msg
