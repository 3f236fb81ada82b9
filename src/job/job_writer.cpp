// Writing a job file: its text, and an atomic save that never leaves a half-written
// job or loses the old one.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "job/job.h"

namespace trelvan {

namespace {

using OrderedJson = nlohmann::ordered_json;

// A whole number within the doubles' exact integers is written as an integer, 0 not
// 0.0; everything else as nlohmann/json writes a double, a form that reads back as
// the same value (almost always the shortest). A negative zero keeps its sign.
OrderedJson number(double value) {
    constexpr double exactIntegers = 9007199254740992.0;  // 2^53
    const bool integral = value == std::trunc(value) && std::fabs(value) < exactIntegers;
    const bool negativeZero = value == 0 && std::signbit(value);
    if (integral && !negativeZero) return OrderedJson(static_cast<std::int64_t>(value));
    return OrderedJson(value);
}

OrderedJson xy(double x, double y) {
    OrderedJson object = OrderedJson::object();
    object["X"] = number(x);
    object["Y"] = number(y);
    return object;
}

// A measured side as it was read: only the values it gives, in the order of the
// format.
OrderedJson measured(const MeasuredSide& side) {
    OrderedJson object = OrderedJson::object();
    object["D"] = number(side.D);
    if (side.type) object["type"] = *side.type;
    const std::pair<const char*, const std::optional<double>*> values[] = {
        {"dh", &side.dh}, {"Z", &side.Z}, {"Hm", &side.Hm}, {"ppm", &side.ppm}, {"t", &side.t}, {"p", &side.p}};
    for (const auto& [key, value] : values)
        if (*value) object[key] = number(**value);
    if (side.right) object["right"] = *side.right;
    return object;
}

OrderedJson reductionSettings(const ReductionSettings& settings) {
    OrderedJson object = OrderedJson::object();
    if (settings.ellipsoid) object["ellipsoid"] = *settings.ellipsoid;
    if (settings.falseEasting) object["falseEasting"] = number(*settings.falseEasting);
    if (settings.H0) object["H0"] = number(*settings.H0);
    if (settings.gauss) object["gauss"] = *settings.gauss;
    if (settings.K) object["K"] = number(*settings.K);
    if (settings.R) object["R"] = number(*settings.R);
    if (settings.meteo) {
        OrderedJson meteo = OrderedJson::object();
        meteo["A"] = number(settings.meteo->A);
        meteo["B"] = number(settings.meteo->B);
        object["meteo"] = std::move(meteo);
    }
    if (settings.Hm) object["Hm"] = number(*settings.Hm);
    return object;
}

OrderedJson knownPoint(const std::string& name, double x, double y) {
    OrderedJson object = OrderedJson::object();
    object["name"] = name;
    object["X"] = number(x);
    object["Y"] = number(y);
    return object;
}

// The weight model; by the instrument with all its values, the defaults included.
OrderedJson weightsObject(const WeightModel& weights) {
    OrderedJson object = OrderedJson::object();
    if (!weights.byInstrument()) {
        object["model"] = "meanSide";
        return object;
    }
    object["model"] = "instrument";
    object["a"] = number(weights.a);
    object["b"] = number(weights.b);
    object["sigmaQ"] = number(weights.sigmaQ);
    object["combine"] = weights.combine == WeightModel::Combine::Quadrature ? "quadrature" : "linear";
    return object;
}

// A new hidden file beside the one to be saved, created with the permissions of a new
// file (the umask applies); its name goes to `path`.
int createTemporary(const std::filesystem::path& folder, const std::string& name, std::string& path) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (folder / ("." + name + "." + std::to_string(::getpid()) + "." +
                          std::to_string(counter++) + ".tmp"))
                   .string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

int jobVersion(const Job& job) {
    const JobOnlyValues& only = job.jobOnly;
    return only.weights || !only.measuredSides.empty() || only.reduction ? 2 : 1;
}

std::string jobText(const Job& job) {
    const std::size_t names = job.pointName.size();
    OrderedJson out = OrderedJson::object();
    out["trelvan"] = jobVersion(job);
    out["N"] = static_cast<int>(job.N);
    out["A"] = knownPoint(names > 0 ? job.pointName.front() : std::string(), job.Xa, job.Ya);
    out["B"] = knownPoint(names > 1 ? job.pointName.back() : std::string(), job.Xb, job.Yb);
    out["directionA"] = xy(job.Xpa, job.Ypa);
    out["directionB"] = xy(job.Xpb, job.Ypb);
    if (job.Xpa == 0 && job.Ypa == 0) out["Ta"] = number(job.Ta);
    if (job.Xpb == 0 && job.Ypb == 0) out["Tb"] = number(job.Tb);
    out["Qa"] = number(job.Qa);
    out["Qb"] = number(job.Qb);
    out["angleTolerance"] = number(job.angleTolerance);
    if (job.jobOnly.weights) out["weights"] = weightsObject(*job.jobOnly.weights);
    if (job.jobOnly.reduction) out["reduction"] = reductionSettings(*job.jobOnly.reduction);
    OrderedJson points = OrderedJson::array();
    for (std::size_t i = 1; i + 1 < names; ++i) points.push_back(job.pointName[i]);
    out["points"] = std::move(points);
    OrderedJson sides = OrderedJson::array();
    auto next = job.jobOnly.measuredSides.begin();
    const auto end = job.jobOnly.measuredSides.end();
    for (std::size_t k = 1; k < job.side.size(); ++k) {
        while (next != end && next->k < static_cast<int>(k)) ++next;
        if (next != end && next->k == static_cast<int>(k))
            sides.push_back(measured(*next));
        else
            sides.push_back(number(job.side[k]));
    }
    out["sides"] = std::move(sides);
    // Names come from the dialogue or an editor and are well-formed UTF-8; should one
    // not be, it is written with U+FFFD rather than not at all.
    return out.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

FileOps FileOps::system() {
    return FileOps{[](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
                   [](int fd) { return ::fsync(fd); },
                   [](const char* from, const char* to) { return ::rename(from, to); }};
}

std::string failureText(int errorNumber) {
    const char* what = nullptr;
    switch (errorNumber) {
        case ENOSPC: what = "磁盘空间不足"; break;
        case EDQUOT: what = "超出磁盘配额"; break;
        case EACCES:
        case EPERM: what = "没有权限"; break;
        case EROFS: what = "文件系统是只读的"; break;
        case ENOTDIR: what = "路径中有一段不是文件夹"; break;
        case ENOENT: what = "文件或文件夹不存在"; break;
        case EISDIR: what = "这是一个文件夹"; break;
        case ENAMETOOLONG: what = "文件名过长"; break;
        case EIO: what = "输入输出错误"; break;
        case EFBIG: what = "文件过大"; break;
        case ELOOP: what = "符号链接层次过多"; break;
        case EMFILE:
        case ENFILE: what = "打开的文件过多"; break;
        default: what = "系统错误"; break;
    }
    return std::string(what) + "（" + std::strerror(errorNumber) + "）";
}

std::optional<std::string> writeFileAtomically(const std::string& fileName, std::string_view bytes,
                                               const FileOps& ops) {
    namespace fs = std::filesystem;
    // Saving over a symbolic link saves over the file it names, and keeps the link.
    fs::path target(fileName);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    // Only a file is replaced: a device, a pipe or a socket of that name (/dev/null,
    // say) is left as it is, and a folder too.
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return failureText(EISDIR);
    if (exists && !S_ISREG(old.st_mode)) return "这不是普通文件，而是设备、管道或套接字";

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary;
    const int fd = createTemporary(folder, target.filename().string(), temporary);
    if (fd < 0) return failureText(errno);
    const auto fail = [&](int error, bool open) {
        if (open) ::close(fd);
        ::unlink(temporary.c_str());
        return failureText(error);
    };

    // A new file has the usual permissions of a new file; a file saved over keeps
    // its own (a file system without permissions keeps its own rules).
    if (exists) ::fchmod(fd, old.st_mode & 07777);

    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ops.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : ENOSPC, true);
        done += static_cast<std::size_t>(n);
    }
    if (ops.fsync(fd) != 0) return fail(errno, true);
    if (::close(fd) != 0) return fail(errno, false);
    if (ops.rename(temporary.c_str(), target.c_str()) != 0) return fail(errno, false);

    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return std::nullopt;
}

std::optional<std::string> saveJob(const std::string& fileName, const Job& job, const FileOps& ops) {
    const auto failure = writeFileAtomically(fileName, jobText(job), ops);
    if (!failure) return std::nullopt;
    return "无法保存作业文件 " + fileName + "：" + *failure + "。";
}

}  // namespace trelvan
