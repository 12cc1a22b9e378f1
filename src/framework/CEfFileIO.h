#pragma once

#include <string>

#include "framework/CHfcFileDialogListener.h"

class CEfWindow;
class CHfcFile;

// The base of every object behind a file dialog (editor data files, sample import, exporters).
// It runs the platform's open or save dialog, hides from the open dialog every file the derived
// class cannot read, opens the chosen file as a binary CHfcFile, hands it to the derived class's
// read or write step, and remembers the path of the last file read or written so that a later
// Save needs no dialog.
//
// Writing never touches the target until the write step has succeeded: the data goes to a
// temporary file beside the target (".name.XXXXXX.tmp"), which is flushed, closed and renamed
// over the target only then. A failed or cancelled write removes the temporary file and leaves
// an existing target byte for byte as it was. Temporaries of the same target that a killed save
// left behind are removed by the next save once they are a few minutes old.
//
// Results: 0 nothing done (dialog cancelled), 1 failed, 2 succeeded. Exceptions thrown by the
// read and write steps close the file and reach the caller.
class CEfFileIO : public CHfcFileDialogListener {
public:
    enum Result : int { kNothingDone = 0, kFailed = 1, kSucceeded = 2 };
    // A file could not be opened, or a finished write could not be put in place.
    enum class Failure { kOpenForReading, kOpenForWriting, kFinishWriting };

    CEfFileIO();
    ~CEfFileIO() override = default;
    CEfFileIO(const CEfFileIO&) = delete;
    CEfFileIO& operator=(const CEfFileIO&) = delete;

    void OnHfcFileDialogFinished(CHfcFileDialog& dialog, bool ok, int kind) override;
    // Folders are always listed; a file is listed when it opens for reading and CanRead accepts
    // it. A save dialog lists everything.
    bool OnHfcFileDialogWin32BrowseFilter(CHfcFileDialog& dialog, const std::string& path,
                                          bool isFolder, int kind) override;

    // Remember decides whether a successful read or write becomes the remembered file.
    int Open(CEfWindow* parent, bool remember = true);
    // Writes to the remembered path without a dialog; without one it is SaveAs.
    int Save(CEfWindow* parent, bool remember = true);
    int SaveAs(CEfWindow* parent, bool remember = true);
    // Reads a path without a dialog (dropped files, command line).
    int OpenPath(const std::string& path);
    // Writes a path without a dialog (command-line tool).
    int SavePath(const std::string& path, bool remember = true);

    // "Untitled" until a file has been remembered.
    const std::string& FileName();
    const std::string& RememberedPath() const { return rememberedPath_; }
    bool IsRemembered() const { return remembered_; }
    // Drops the remembered file so that the next Save asks for a name.
    void Forget();
    int GetResult() const { return result_; }

    // The characters after the last '/' (the whole path when there is none).
    static std::string FileNameOf(const std::string& path);
    // The text after the last '.' of the file name, lower case; empty when there is none.
    static std::string LowerExtensionOf(const std::string& path);
    // Whether the text after the last '.' of name starts with accepted, compared case-insensitively
    // over the length of accepted ("t2a" accepts "T2A" and "t2ax", not "t2").
    static bool ExtensionMatches(const std::string& name, const std::string& accepted);

protected:
    // The three steps of a derived class. The file is open and positioned at its start.
    virtual bool CanRead(CHfcFile& file, const std::string& name);
    virtual bool Read(CHfcFile& file, const std::string& name);
    virtual bool Write(CHfcFile& file, const std::string& name);

    virtual void SetUpOpenDialog(CHfcFileDialog& dialog);
    virtual void SetUpSaveDialog(CHfcFileDialog& dialog);
    virtual std::string OpenTitle() const { return "Open"; }
    virtual std::string SaveTitle() const { return "Save"; }
    // With its dot.
    virtual std::string Extension() const { return ".txt"; }
    virtual std::string FilterDescription() const { return "Test Files (*.txt)"; }
    virtual int FileModeFlags() const;

    // The base only writes the diagnostic trace; derived classes decide what the user sees.
    virtual void OnFileFailure(Failure failure, const std::string& path);

private:
    int RunDialog(CEfWindow* parent, int kind);
    int ReadPath(const std::string& path);
    int WritePath(const std::string& path);
    void Remember(const std::string& path);

    bool remembered_ = false;
    bool rememberOnSuccess_ = true;
    int result_ = kNothingDone;
    std::string fileName_;
    std::string rememberedPath_;
};
