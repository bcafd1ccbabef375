#include "display_vocabulary.h"

#include <acquisition/record.h>
#include <host/vdevice.h>
#include <plugin/get_providers.h>

#include <json/reader.h>

#include <memory>
#include <vector>

namespace xk83t_replay {
namespace {

constexpr int kDocumentAsText = 801;

std::unique_ptr<SMDVDevice> fresh_device()
{
    const auto providers = get_providers();
    auto* provider = providers.empty() ? nullptr : dynamic_cast<SMDSPDeviceProvider*>(providers.front().get());
    return std::unique_ptr<SMDVDevice>(provider ? provider->create() : nullptr);
}

}  // namespace

std::optional<Vocabulary> display_vocabulary(std::string& why)
{
    const auto device = fresh_device();
    if (!device) {
        why = "the plug-in offers no device";
        return std::nullopt;
    }
    // A device without settings evaluates no rules, so the document holds
    // only what the builder writes.
    std::vector<unsigned char> record(xk83t::kRecordSize, 0);
    if (device->LoadFromCache(record.data(), static_cast<int>(record.size())) != 1) {
        why = "the plug-in refused a cached record";
        return std::nullopt;
    }

    // The first request learns the length, the second fetches the text.
    unsigned char none = 0;
    int length = 0;
    device->DeviceIoControl(kDocumentAsText, nullptr, 0, &none, 0, length);
    if (length <= 0) {
        why = "the plug-in answered control request 801 with no document";
        return std::nullopt;
    }
    std::vector<char> text(static_cast<std::size_t>(length));
    int written = 0;
    const int result = device->DeviceIoControl(kDocumentAsText, nullptr, 0, text.data(), length, written);
    if (result != 0 || written != length) {
        why = "the plug-in answered control request 801 with " + std::to_string(result);
        return std::nullopt;
    }

    Json::Value document;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    if (!reader->parse(text.data(), text.data() + text.size(), &document, &errors) || !document.isObject()) {
        why = "the display document is not a JSON object";
        return std::nullopt;
    }
    Vocabulary vocabulary;
    for (auto it = document.begin(); it != document.end(); ++it)
        vocabulary.members[it.name()] = it->isNumeric();
    return vocabulary;
}

}  // namespace xk83t_replay
