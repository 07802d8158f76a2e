#include "service/conditions_service.h"

#include "platform/version.h"

namespace cirrodex::service {
namespace {

using std::chrono::seconds;

constexpr seconds kVersionLife{60 * 60};
constexpr seconds kUnknownPlaceLife{60 * 60};
constexpr seconds kRefusalLife{60 * 60};

Response text_response(std::string body, seconds max_age) {
  return Response{200, std::string(kTextType), std::move(body), max_age, {}, {}};
}

}  // namespace

std::string_view reason_phrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 414:
      return "URI Too Long";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

Response error_response(int status, std::string text, seconds max_age) {
  Response r;
  r.status = status;
  r.content_type = std::string(kTextType);
  r.body = std::to_string(status) + " " + std::string(reason_phrase(status)) + ": " + text + "\n";
  r.max_age = max_age;
  r.note = std::move(text);
  return r;
}

Response ConditionsService::handle(Method method, std::string_view path) {
  if (method == Method::Other) {
    Response r = error_response(405, "only GET and HEAD", seconds(0));
    r.allow = "GET, HEAD";
    return r;
  }
  const Route r = route(path);
  if (const auto* conditions_route = std::get_if<ConditionsRoute>(&r)) return conditions(*conditions_route);
  if (std::holds_alternative<UsageCounterRoute>(r)) {
    ++usage_count_;
    return text_response("Thank you for using Cirrodex.\n", seconds(0));
  }
  if (std::holds_alternative<VersionFileRoute>(r)) {
    return text_response("Cirrodex\nVersion#" + std::string(kProgramVersion) + "\n", kVersionLife);
  }
  if (const auto* not_found = std::get_if<NotFoundRoute>(&r))
    return error_response(404, not_found->reason, kRefusalLife);
  const Refusal& refusal = std::get<Refusal>(r);
  return error_response(refusal.status, refusal.reason, kRefusalLife);
}

Response ConditionsService::conditions(const ConditionsRoute& route) {
  const std::optional<ResolvedPlace> place = places_.resolve(route.place);
  if (!place) return error_response(404, "unknown place " + describe(route.place), kUnknownPlaceLife);
  // Antarctic bases and remote islands among the program's stations send
  // no METAR and have no reporting station near enough to stand in.
  if (place->stations.empty())
    return error_response(404, "no reporting station near " + describe(route.place), kUnknownPlaceLife);

  std::optional<Observation> observation;
  SourceFailure failures;
  bool all_timed_out = true;
  for (const std::string& station : place->stations) {
    ObservationResult result = sources_.observation(station);
    if (result.observation) {
      observation = std::move(result.observation);
      break;
    }
    failures.texts.push_back(station + ": " + result.failure.joined());
    all_timed_out = all_timed_out && result.failure.timed_out;
  }
  if (!observation) {
    const int status = all_timed_out ? 504 : 502;
    return error_response(status, "no current report for " + describe(route.place) + " (" + failures.joined() + ")",
                          kFailureLife);
  }

  // The forecast is a part of the document, not a condition of it.
  std::optional<ZoneForecast> forecast;
  std::string forecast_note;
  if (!place->forecast_zone.empty()) {
    ForecastResult result = sources_.zone_forecast(place->state, place->forecast_zone);
    forecast = std::move(result.forecast);
    if (!forecast) forecast_note = "; no forecast: " + result.failure.joined();
  }

  const DocumentInput input{route.form,  route.place, *place, *observation, forecast ? &*forecast : nullptr,
                            clock_.utc()};
  Document document = maker_.make(input);
  if (!document.error.empty())
    return error_response(
        502,
        "the report of " + observation->station + " from " + observation->source + " cannot be read: " + document.error,
        kFailureLife);

  Response r;
  r.content_type = std::string(route.form == Form::Page ? kPageType : kTextType);
  r.body = std::move(document.text);
  r.max_age = forecast ? std::min(observation->max_age, forecast->max_age) : observation->max_age;
  r.note = observation->station + " from " + observation->source + forecast_note;
  return r;
}

}  // namespace cirrodex::service
