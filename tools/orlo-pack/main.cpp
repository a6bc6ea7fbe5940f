// orlo-pack: the operator's tool. Builds a profile description, packs a launcher with its
// profile, skin and kits, and shows what launchers and the launcher's files hold.
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <map>
#include <string>
#include <vector>

#include "codec/bytes.h"
#include "core/profile.h"
#include "decode.h"
#include "launcher_image.h"
#include "platform/arguments.h"
#include "platform/files.h"
#include "profile_json.h"
#include "skin_text.h"

namespace orlo::pack {
namespace {

constexpr std::size_t kMaxInput = std::size_t(1) << 31;

const char* const kUsage =
    "usage:\n"
    "  orlo-pack profile init [-o PROFILE.json]\n"
    "  orlo-pack pack --launcher IN.exe --profile PROFILE.json [--skin SKIN] [--kit32 A.zip]\n"
    "                 [--kit64 B.zip] [--replace] -o OUT.exe\n"
    "                 (SKIN: a compiled skin, or a text skin compiled on the way)\n"
    "  orlo-pack skin compile SKIN.txt -o SKIN.bin\n"
    "  orlo-pack skin decompile SKIN.bin -o SKIN.txt   (pictures are written beside SKIN.txt)\n"
    "  orlo-pack show LAUNCHER.exe [--layout]\n"
    "  orlo-pack decode envjson|cache|record FILE\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "orlo-pack: %s\n", message.c_str());
    return 1;
}

std::optional<Bytes> ReadBytes(const std::string& name, std::string& error) {
    auto data = platform::ReadWholeFile(platform::PathFromUtf8(name), kMaxInput);
    if (!data) {
        error = "cannot read " + name;
        return std::nullopt;
    }
    return Bytes(data->begin(), data->end());
}

bool WriteOut(const std::string& name, std::string_view bytes) {
    if (name.empty() || name == "-") return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    return platform::ReplaceFileContents(platform::PathFromUtf8(name), bytes);
}

// --name value pairs and bare flags; anything else is a positional argument.
struct Args {
    std::map<std::string, std::string> options;
    std::vector<std::string> flags;
    std::vector<std::string> positional;
};
Args ParseArgs(const std::vector<std::string>& argv, std::size_t first, const std::vector<std::string>& flag_names) {
    Args a;
    for (std::size_t i = first; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        bool is_flag = std::find(flag_names.begin(), flag_names.end(), arg) != flag_names.end();
        if (is_flag) {
            a.flags.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-' && i + 1 < argv.size()) {
            a.options[arg] = argv[++i];
        } else {
            a.positional.push_back(arg);
        }
    }
    return a;
}

int ProfileInit(const Args& a) {
    auto out = a.options.count("-o") ? a.options.at("-o") : std::string("-");
    std::string text = ProfileToJson(DemoProfile()).dump(2, ' ', false) + "\n";
    if (!WriteOut(out, text)) return Fail("cannot write " + out);
    return 0;
}

// A compiled skin as it is; a text skin compiled with its file references beside it.
std::optional<Bytes> SkinStream(const std::string& name, std::string& error) {
    auto file = ReadBytes(name, error);
    if (!file) return std::nullopt;
    if (file->size() >= 4 && AsString(ByteView(*file).first(4)) == "TPF0") return file;
    auto compiled = CompileSkinText(AsString(*file), platform::PathFromUtf8(name).parent_path());
    if (!compiled) {
        error = name + ": " + compiled.error();
        return std::nullopt;
    }
    return std::move(compiled).value();
}

int Skin(const std::vector<std::string>& argv) {
    if (argv.size() < 3) return Fail(std::string("skin needs compile or decompile\n") + kUsage);
    const std::string& verb = argv[2];
    Args a = ParseArgs(argv, 3, {});
    if ((verb != "compile" && verb != "decompile") || a.positional.size() != 1 || !a.options.count("-o")) {
        return Fail(std::string("skin compile|decompile takes one input file and -o OUTPUT\n") + kUsage);
    }
    const std::string& input = a.positional[0];
    const std::string& output = a.options.at("-o");
    std::string error;
    if (verb == "compile") {
        auto text = ReadBytes(input, error);
        if (!text) return Fail(error);
        auto stream = CompileSkinText(AsString(*text), platform::PathFromUtf8(input).parent_path());
        if (!stream) return Fail(input + ": " + stream.error());
        if (!WriteOut(output, AsString(*stream))) return Fail("cannot write " + output);
        return 0;
    }
    auto stream = ReadBytes(input, error);
    if (!stream) return Fail(error);
    auto skin = DecompileSkin(*stream);
    if (!skin) return Fail(input + ": " + skin.error());
    const auto folder = output == "-" ? std::filesystem::path() : platform::PathFromUtf8(output).parent_path();
    for (const auto& [name, bytes] : skin->files) {
        const auto path = folder / platform::PathFromUtf8(name);
        if (!platform::ReplaceFileContents(path, AsString(bytes)))
            return Fail("cannot write " + platform::PathToUtf8(path));
    }
    if (!WriteOut(output, skin->text)) return Fail("cannot write " + output);
    return 0;
}

int Pack(const Args& a) {
    for (const char* required : {"--launcher", "--profile", "-o"}) {
        if (!a.options.count(required)) return Fail(std::string("pack needs ") + required + "\n" + kUsage);
    }
    std::string error;
    PackInput in;
    auto launcher = ReadBytes(a.options.at("--launcher"), error);
    if (!launcher) return Fail(error);
    in.launcher = std::move(*launcher);
    auto description = platform::ReadWholeFile(platform::PathFromUtf8(a.options.at("--profile")), 1 << 20);
    if (!description) return Fail("cannot read " + a.options.at("--profile"));
    auto json = nlohmann::json::parse(*description, nullptr, false);
    if (json.is_discarded()) return Fail(a.options.at("--profile") + " is not valid JSON");
    auto profile = ProfileFromJson(json);
    if (!profile) return Fail(a.options.at("--profile") + ": " + profile.error());
    in.profile = *profile;
    if (a.options.count("--skin")) {
        auto skin = SkinStream(a.options.at("--skin"), error);
        if (!skin) return Fail(error);
        in.skin_stream = std::move(*skin);
    }
    for (auto [option, target] : {std::pair{"--kit32", &in.kit32}, std::pair{"--kit64", &in.kit64}}) {
        if (!a.options.count(option)) continue;
        auto kit = ReadBytes(a.options.at(option), error);
        if (!kit) return Fail(error);
        *target = std::move(*kit);
    }
    in.replace = std::find(a.flags.begin(), a.flags.end(), "--replace") != a.flags.end();
    auto packed = PackLauncher(std::move(in));
    if (!packed) return Fail(packed.error());
    if (!WriteOut(a.options.at("-o"), AsString(*packed))) return Fail("cannot write " + a.options.at("-o"));
    return 0;
}

int Show(const Args& a) {
    if (a.positional.size() != 1) return Fail(std::string("show takes one launcher file\n") + kUsage);
    auto path = platform::PathFromUtf8(a.positional[0]);
    auto profile = ReadProfileFrom(path);
    if (!profile) return Fail(a.positional[0] + ": " + profile.error());
    nlohmann::ordered_json json = ProfileToJson(*profile);
    if (std::find(a.flags.begin(), a.flags.end(), "--layout") != a.flags.end()) {
        FileReader file(path);
        const std::int64_t tail = FindTrailer(file);
        auto loc = LocateProfile(file, tail);
        if (loc) {
            json = {{"profile", json},
                    {"layout",
                     {{"fileSize", file.size()},
                      {"imageSize", loc->trailer.nImageSize},
                      {"profileBlock", loc->block_pos},
                      {"kit32Size", loc->trailer.nKit32Size},
                      {"kit64Size", loc->trailer.nKit64Size},
                      {"trailer", loc->trailer_pos},
                      {"tailLength", tail}}}};
        }
    }
    std::string text = json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int Decode(const Args& a) {
    if (a.positional.size() != 2) return Fail(std::string("decode takes a kind and a file\n") + kUsage);
    const std::string& kind = a.positional[0];
    std::string error;
    auto file = ReadBytes(a.positional[1], error);
    if (!file) return Fail(error);
    Result<std::string> text = Result<std::string>::Fail("unknown kind \"" + kind + "\" (envjson, cache, record)");
    if (kind == "envjson") text = DecodeEnvJsonFile(*file);
    if (kind == "cache") text = DecodeCacheFile(*file);
    if (kind == "record") text = DecodeStartRecordText(*file);
    if (!text) return Fail(a.positional[1] + ": " + text.error());
    std::string out = *text + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int Run(const std::vector<std::string>& argv) {
    if (argv.size() < 2) return Fail(kUsage);
    const std::string& command = argv[1];
    if (command == "profile" && argv.size() >= 3 && argv[2] == "init") return ProfileInit(ParseArgs(argv, 3, {}));
    if (command == "pack") return Pack(ParseArgs(argv, 2, {"--replace"}));
    if (command == "show") return Show(ParseArgs(argv, 2, {"--layout"}));
    if (command == "decode") return Decode(ParseArgs(argv, 2, {}));
    if (command == "skin") return Skin(argv);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Fail("unknown command \"" + command + "\"\n" + kUsage);
}

}  // namespace
}  // namespace orlo::pack

int main(int argc, char** argv) {
    try {
        return orlo::pack::Run(orlo::platform::Utf8Arguments(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orlo-pack: %s\n", e.what());
        return 1;
    }
}
