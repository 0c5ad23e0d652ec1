#include "install/NamedVersion.h"

#include <filesystem>
#include <system_error>

#include "install/ChainFiles.h"
#include "net/JsonWriter.h"
#include "platform/Files.h"

namespace kestrel::install {

std::string NamedVersionJson(const std::string& name, const std::string& game_version, const std::string& type) {
    std::string json = "{\"id\":";
    net::JsonWriter::AppendString(json, name);
    json += ",\"inheritsFrom\":";
    net::JsonWriter::AppendString(json, game_version);
    json += ",\"type\":";
    net::JsonWriter::AppendString(json, type.empty() ? "release" : type);
    json += "}";
    return json;
}

Status StoreNamedVersion(const std::string& game_folder, const std::string& name, const std::string& game_version,
                         const std::string& type) {
    if (!IsSafeVersionId(name)) return Error{"版本名称不可用: " + name};
    if (!IsSafeVersionId(game_version)) return Error{"版本号不可用: " + game_version};
    const std::filesystem::path folder = std::filesystem::path(game_folder) / "versions" / name;
    std::error_code error;
    if (std::filesystem::exists(folder, error)) return Error{"已存在同名版本: " + name};
    std::filesystem::create_directories(folder, error);
    if (error) return Error{"无法创建版本文件夹 " + folder.string() + ": " + error.message()};
    return platform::WriteFileAtomically((folder / (name + ".json")).string(),
                                         NamedVersionJson(name, game_version, type));
}

}  // namespace kestrel::install
