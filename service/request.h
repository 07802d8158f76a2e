#pragma once
// What a client asks of the conditions service: the head of an HTTP/1.0 or
// 1.1 request, read within fixed limits, and the route its path takes (a
// conditions document of a place, the usage counter, the version file, or
// why nothing is there). Both work on bytes alone, so the server calls them
// on whatever arrives and tests and the fuzzer drive them without a socket.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace cirrodex::service {

inline constexpr std::size_t kMaxHeadBytes = std::size_t{8} * 1024;
inline constexpr std::size_t kMaxPathBytes = 512;
inline constexpr std::size_t kMaxHeaders = 64;

enum class Method { Get, Head, Other };

struct RequestHead {
  std::string method;  // as sent
  Method kind = Method::Other;
  std::string target;     // the request target as sent
  std::string path;       // the target without scheme, host and query
  int minor_version = 1;  // HTTP/1.x
  std::vector<std::pair<std::string, std::string>> headers;

  // The first header of that name (case-blind), trimmed.
  std::optional<std::string_view> header(std::string_view name) const;
};

// An answer the server gives without asking anyone: 400, 404, 405, 414, 431.
struct Refusal {
  int status = 400;
  std::string reason;  // a few words for the body and the log
};

struct HeadParse {
  enum class State {
    Incomplete,  // no blank line yet and the limits still allow more
    Complete,    // head holds the request; head_bytes is its length
    Refused,     // refusal says why
  };
  State state = State::Incomplete;
  RequestHead head;
  std::size_t head_bytes = 0;
  Refusal refusal;
};

// Reads a request head from the start of the bytes received so far. Lines
// end in CRLF or LF. A request line already broken, or a head past
// kMaxHeadBytes, is refused at once, without waiting for the rest.
HeadParse parse_request_head(std::string_view received);

// Routes.
enum class Form { Page, Raw };

struct UsCity {
  std::string state;  // two letters, upper case
  std::string city;   // as in the address ("Muscle_Shoals"), Latin-1
};
struct ZipCode {
  std::string zip;  // five digits
};
struct WmoStation {
  std::string wmo;  // five digits
};
using Place = std::variant<UsCity, ZipCode, WmoStation>;

struct ConditionsRoute {
  Form form = Form::Page;
  Place place;
};
struct UsageCounterRoute {};
struct VersionFileRoute {};
struct NotFoundRoute {
  std::string reason;
};
using Route = std::variant<ConditionsRoute, UsageCounterRoute, VersionFileRoute, NotFoundRoute, Refusal>;

// The route of a request path (no query). Overlong, percent-encoded,
// dotted (".." anywhere, "/./", "//"), control or backslash bytes are refused
// (400 or 414) before any route is tried; a well-formed path that names
// nothing here is not found.
Route route(std::string_view path);

// The city with its blanks back ("Muscle Shoals").
std::string city_name(const UsCity& place);

// A place as the address has it, for the log and the error texts.
std::string describe(const Place& place);

}  // namespace cirrodex::service
