#pragma once

// Project files (".stm"): line-oriented Windows-1251 text with CR LF line
// ends, plus one BMP picture file per floor that has a background.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

struct ProjectReadResult {
    std::optional<TPipeLine> Scheme;    // the project, when the whole file is valid
    std::string Error;                  // otherwise one line: file, line number, what was expected
    // Floor pictures that exist but could not be read, damaged data of the
    // extension block (the scheme is read all the same).
    std::vector<std::string> Warnings;
};

// Reads a project file and, with `loadPictures`, the picture and plan
// files of its floors (named after the file a link to the project ends in). Nothing is returned unless the whole file is valid. Only regular
// files are read (a pipe or a device gets a message, never a wait), and
// temporaries left by stopped saves of this project are removed.
ProjectReadResult ReadProjectFile(const std::string& path, bool loadPictures = true);
// Parses project file contents; `path` names the file in messages and
// becomes FileName. Pictures are not loaded.
ProjectReadResult ParseProject(std::string_view bytes, const std::string& path);

// Replaces the project of the live scheme (nodes, areas, floors, options
// stored in the file, file name, pictures) with a loaded one, as opening a
// project does: reports, results and the editor's tool state are reset, the
// scheme is left unmodified. Display settings and the clipboard stay.
void AdoptProject(TPipeLine& live, TPipeLine&& loaded);

// The file contents for a scheme, or nullopt with `error` set when a node
// label holds a character the file cannot store (no Windows-1251 code, or a
// line break).
std::optional<std::string> ProjectText(const TPipeLine& s, char separator, std::string* error);

// Writes the project file and the pictures of its floors through temporary
// files renamed into place (through symbolic links, the pictures beside
// the file the link ends in; a read-only project file is refused). Returns the message for the user on failure; the files
// on disk are then unchanged. Temporaries left by stopped saves are removed
// first.
std::optional<std::string> SaveProjectFile(const TPipeLine& s, const std::string& path, char separator);

// Removes what saves of this project that were stopped half-way left
// beside it: temporaries of the project file and of the picture files of
// every possible floor whose writing process is gone.
void RemoveStaleProjectTemporaries(const std::string& projectPath);

// The picture file of floor n: the project path without its last three
// characters, then "im" and n (D:\plans\school.stm → D:\plans\school.im2).
std::string PictureFileName(const std::string& projectPath, int floor);

// The copy of floor n's plan file beside the project: the project path
// without its last three characters, then "pl", n, "." and the plan's
// kind (D:\plans\school.stm → D:\plans\school.pl1.pdf).
std::string PlanFileName(const std::string& projectPath, int floor, const std::string& kind);

// The (path, contents) of the picture and plan files of a project saved as
// `projectPath`: those of every floor that has a picture or a plan.
std::vector<std::pair<std::string, std::string>> FloorFiles(const TPipeLine& s, const std::string& projectPath);

}  // namespace stelmar
