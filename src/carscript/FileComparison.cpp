#include "carscript/FileComparison.h"

#include "carscript/FileSystem.h"

#include <optional>
#include <vector>

namespace quendral {

namespace {

// Fills the piece, unless the file ends first: a read may return less.
std::optional<std::string_view> readPiece(FileReader& file, std::vector<char>& piece, std::string& error)
{
    std::size_t filled = 0;
    while (filled < piece.size()) {
        const std::optional<std::size_t> count = file.read(piece.data() + filled, piece.size() - filled);
        if (!count) {
            error = file.errorString();
            return std::nullopt;
        }
        if (*count == 0)
            break;
        filled += *count;
    }
    return std::string_view(piece.data(), filled);
}

} // namespace

bool holdsBytes(FileReader& file, std::string_view bytes, bool& same, std::string& error, std::size_t pieceSize)
{
    std::vector<char> piece(pieceSize);
    while (true) {
        const std::optional<std::string_view> read = readPiece(file, piece, error);
        if (!read)
            return false;
        same = bytes.starts_with(*read);
        if (!same)
            return true;
        bytes.remove_prefix(read->size());
        // A piece cut short is the end of the file.
        if (read->size() < pieceSize) {
            same = bytes.empty();
            return true;
        }
    }
}

bool holdSameBytes(FileReader& first, FileReader& second, bool& same, std::string& error, std::size_t pieceSize)
{
    std::vector<char> firstPiece(pieceSize), secondPiece(pieceSize);
    while (true) {
        const std::optional<std::string_view> one = readPiece(first, firstPiece, error);
        if (!one)
            return false;
        const std::optional<std::string_view> other = readPiece(second, secondPiece, error);
        if (!other)
            return false;
        same = *one == *other;
        if (!same || one->size() < pieceSize)
            return true;
    }
}

} // namespace quendral
