// A fresh temporary folder that a test works in; the previous working folder
// comes back and the folder goes when the test ends.
#pragma once

#include <string>

class TempDir {
  public:
    TempDir(); // creates the folder and makes it the working folder
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

  private:
    std::string path;
    std::string previous;
};

// The whole contents of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
