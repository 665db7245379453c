// The outcome of reading a file: the object read, or the reason it was
// refused. Loaders write the reason to the log once; windows show it as a
// box's detail, the command line as its error message.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace mc {

template <class T>
struct TLoadResult {
    std::unique_ptr<T> Value;
    // Why the file was refused; empty when it was read.
    std::string Reason;

    TLoadResult() = default;
    TLoadResult(std::unique_ptr<T> value) : Value(std::move(value)) {}
    static TLoadResult Refused(std::string reason)
    {
        TLoadResult r;
        r.Reason = std::move(reason);
        return r;
    }

    explicit operator bool() const { return Value != nullptr; }
    T* operator->() const { return Value.get(); }
    T& operator*() const { return *Value; }
    std::unique_ptr<T> Release() { return std::move(Value); }
};

// A file of a form this program does not read, such as one of a later game:
// the message names the form.
class EUnsupportedFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a path cannot be read as a file: "... is a folder", "... does not
// exist", "... is not a regular file"; empty when it is a regular file.
std::string FileRefusal(const std::string& path);

}  // namespace mc
