// Reading the settings file: tokens, rest-of-line values and the statements they make.
#include "foundation/qinfo.h"

#include "foundation/qfile.h"
#include "foundation/qmessage.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace {

bool isSymbol(int c) {
    return c == ';' || c == '=' || c == '{' || c == '}' || c == '~';
}
bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0;
}
bool endsWord(int c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '=' || c == '~' || c == 0xA0;
}

struct Token {
    enum Type { END, SYMBOL, WORD } type = END;
    int symbol = 0;
    std::string word;
};

class Tokenizer {
  public:
    Tokenizer(QFile& f, int& lineNumber) : file(f), line(lineNumber) {}

    Token Next() {
        Token token;
        int c;
        do {
            if (!nextByte(c)) return token;
            if (c == '\n') ++line;
        } while (isSpace(c));
        if (isSymbol(c)) {
            token.type = Token::SYMBOL;
            token.symbol = c;
            return token;
        }
        token.word += (char)c;
        while ((int)token.word.size() < QInfo::MAX_VALUE) {
            if (!nextByte(c)) return Token{}; // a word cut by the end of the file is dropped
            if (endsWord(c)) {
                file.UnGetChar((char)c);
                break;
            }
            token.word += (char)c;
        }
        token.type = Token::WORD;
        return token;
    }

    // Everything up to the line end, which is consumed but not counted.
    std::string RestOfLine() {
        std::string text;
        int c;
        while ((int)text.size() < QInfo::MAX_VALUE && nextByte(c) && c != '\r' && c != '\n')
            text += (char)c;
        return text;
    }

  private:
    bool nextByte(int& c) {
        char byte = file.GetChar();
        if (file.IsEOF()) return false;
        c = (unsigned char)byte;
        return true;
    }

    QFile& file;
    int& line;
};

} // namespace

void QInfo::Read() {
    QFile file(fileName, QFile::READ | QFile::MEMORY);
    if (!file.IsOpen()) {
        // No settings file yet is the normal first run, nothing for the user to do: the
        // log notes it. One that is there but can't be read is a warning.
        if (access(fileName.Text(), F_OK) != 0 && errno == ENOENT)
            qinform(QLOC("QInfo::Read"), "QInfo: can't open '%s'", fileName.Text());
        else
            qwarn(QLOC("QInfo::Read"), "QInfo: can't open '%s'", fileName.Text());
        return;
    }
    flags |= OPENED;
    const char* name = fileName.Text();
    Tokenizer tokens(file, line);
    Node* open[MAX_LEVEL] = {root.get()};
    int depth = 1;
    Node* current = nullptr;
    Node* lastKey = nullptr;

    for (Token token = tokens.Next(); token.type != Token::END; token = tokens.Next()) {
        Node* tree = open[depth - 1];
        if (token.type == Token::WORD) {
            if (token.word.find('.') != std::string::npos) {
                qwarn(QLOC("QInfo::Read"),
                      "QInfo(%s): key with '.' found (%s) - won't work; use { } to define "
                      "subtrees (line %d)",
                      name, token.word.c_str(), line);
                continue;
            }
            current = lastKey = tree->Append(Node::KEY, token.word.c_str());
            continue;
        }
        switch (token.symbol) {
        case ';': {
            Node* comment = tree->Append(Node::COMMENT, ";");
            comment->value = tokens.RestOfLine().c_str();
            comment->hasValue = true;
            current = comment;
            break;
        }
        case '=': {
            std::string value = tokens.RestOfLine();
            if (!current) {
                qwarn(QLOC("QInfo::Read"), "QInfo: assign without symbol in line %d", line);
                break;
            }
            current->value = value.c_str();
            current->hasValue = true;
            break;
        }
        case '{':
            if (!lastKey) {
                qwarn(QLOC("QInfo::Read"), "QInfo: { without groupname");
                break;
            }
            lastKey->kind = Node::TREE;
            if (depth == MAX_LEVEL) {
                qwarn(QLOC("QInfo::Read"), "QInfo: '%s' nests too deep (max %d levels)", name,
                      MAX_LEVEL);
                open[depth - 1] = lastKey;
            } else {
                open[depth++] = lastKey;
            }
            break;
        case '}':
            if (depth == 1)
                qerr(QLOC("QInfo::Read"), "QInfo(%s); more '}' brackets than '{' near line %d",
                     name, line);
            else
                --depth;
            break;
        case '~': {
            std::string path = tokens.RestOfLine();
            if (!current) {
                qwarn(QLOC("QInfo::Read"), "QInfo: reference without symbol in line %d", line);
                break;
            }
            Node* target = Find(path.c_str());
            if (!target) {
                qwarn(QLOC("QInfo::Read"),
                      "QInfo(%s): reference (~) to unknown tree '%s' in line %d", name,
                      path.c_str(), line);
            } else if (target->children.empty()) {
                qwarn(QLOC("QInfo::Read"), "QInfo(%s): ref to tree '%s' without child in line %d",
                      name, path.c_str(), line);
            } else {
                current->reference = target;
                current->kind = Node::TREE;
            }
            break;
        }
        }
    }
    if (depth > 1)
        qerr(QLOC("QInfo::Read"),
             "QInfo(%s); brackets don't match; still %d closing bracket(s) expected at end of "
             "file.",
             name, depth - 1);
}
