#include "python/arguments.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

namespace python {

namespace {

std::string ShapeText(const py::array& array) {
    std::ostringstream text;
    text << "(";
    for (py::ssize_t d = 0; d < array.ndim(); ++d) {
        text << (d > 0 ? ", " : "") << array.shape(d);
    }
    text << (array.ndim() == 1 ? ",)" : ")");
    return text.str();
}

std::string TypeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>();
}

// The Python int behind anything with __index__, after refusing bools and floats.
py::int_ WholeNumber(const py::handle& value, const char* what) {
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
        throw py::type_error(std::string(what) + " must be an integer, got " + TypeName(value));
    }
    return py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
}

}  // namespace

int CheckedShotNumber(long long shotNumber, int highest) {
    if (shotNumber < 0 || shotNumber > highest) {
        throw py::value_error("shot_number must lie in 0.." + std::to_string(highest) + ", got " +
                              std::to_string(shotNumber));
    }
    return static_cast<int>(shotNumber);
}

float CheckedFloat(double value, const char* what) {
    // Checked in double first: a double beyond the float range has no float to become.
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        std::ostringstream text;
        text << what << " must be a finite number within the 32-bit float range, got " << value;
        throw py::value_error(text.str());
    }
    return static_cast<float>(value);
}

uint8_t CheckedCurl(double curl) {
    if (curl != 0.0 && curl != 1.0) {
        std::ostringstream text;
        text << "curl must be 0 or 1, got " << curl;
        throw py::value_error(text.str());
    }
    return static_cast<uint8_t>(curl);
}

records::ShotVector CheckedShot(double vx, double vy, double curl) {
    records::ShotVector shot{};
    shot.vx = CheckedFloat(vx, "vx");
    shot.vy = CheckedFloat(vy, "vy");
    shot.curl = CheckedCurl(curl);
    return shot;
}

records::ShotVector ShotFromSequence(const py::object& shot) {
    if (!py::isinstance<py::sequence>(shot) || py::isinstance<py::str>(shot)) {
        throw py::value_error("shot must be a sequence (vx, vy, curl)");
    }
    const auto values = py::reinterpret_borrow<py::sequence>(shot);
    if (values.size() != 3) {
        throw py::value_error("shot must hold 3 numbers (vx, vy, curl), got " +
                              std::to_string(values.size()));
    }
    return CheckedShot(py::float_(values[0]), py::float_(values[1]), py::float_(values[2]));
}

void CheckStones(const FloatArray& stones, int leading) {
    const int ndim = leading + 2;
    if (stones.ndim() != ndim || stones.shape(leading) != records::StoneCount ||
        stones.shape(leading + 1) != 2) {
        throw py::value_error("stones must have shape " +
                              std::string(leading > 0 ? "(n, 16, 2)" : "(16, 2)") + ", got " +
                              ShapeText(stones));
    }
    const float* values = stones.data();
    for (py::ssize_t i = 0; i < stones.size(); ++i) {
        if (!std::isfinite(values[i])) {
            const py::ssize_t stone = i / 2;
            std::ostringstream text;
            text << "stone " << stone % records::StoneCount;
            if (leading > 0) {
                text << " of position " << stone / records::StoneCount;
            }
            text << " has a coordinate that is not finite: " << values[i];
            throw py::value_error(text.str());
        }
    }
}

records::GameState StateFromStones(const float* stones, int shotNumber) {
    records::GameState state{};
    state.shotNumber = shotNumber;
    std::memcpy(state.stones, stones, sizeof(state.stones));
    return state;
}

FloatArray StonesArray(const records::GameState& state) {
    FloatArray array({records::StoneCount, 2});
    std::memcpy(array.mutable_data(), state.stones, sizeof(state.stones));
    return array;
}

Triple CheckedTriple(const py::handle& value, const char* what) {
    const std::string names =
        std::string(what) + (std::strcmp(what, "target") == 0 ? " (x, y, curl)" : " (vx, vy, curl)");
    if (PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()) || !PySequence_Check(value.ptr())) {
        throw py::type_error(names + " must be a sequence of three numbers, got " + TypeName(value));
    }
    const auto items = py::reinterpret_borrow<py::sequence>(value);
    if (items.size() != 3) {
        throw py::value_error(names + " must hold 3 numbers, got " + std::to_string(items.size()));
    }
    double numbers[3];
    for (int i = 0; i < 3; ++i) {
        const py::object item = items[static_cast<std::size_t>(i)];
        if (!PyNumber_Check(item.ptr()) || PyComplex_Check(item.ptr()) || PyUnicode_Check(item.ptr())) {
            throw py::type_error(names + " must hold real numbers, got " + TypeName(item));
        }
        numbers[i] = py::float_(item);
    }
    Triple triple;
    const bool target = std::strcmp(what, "target") == 0;
    triple.first = CheckedFloat(numbers[0], target ? "x" : "vx");
    triple.second = CheckedFloat(numbers[1], target ? "y" : "vy");
    triple.curl = CheckedCurl(numbers[2]);
    return triple;
}

long long CheckedWhole(const py::handle& value, const char* what, long long low, long long high) {
    const py::int_ number = WholeNumber(value, what);
    int overflow = 0;
    const long long whole = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
    if (overflow != 0 || whole < low || whole > high) {
        throw py::value_error(std::string(what) + " must lie in " + std::to_string(low) + ".." +
                              std::to_string(high) + ", got " + py::repr(number).cast<std::string>());
    }
    return whole;
}

uint64_t CheckedSeed(const py::handle& value) {
    const py::int_ number = WholeNumber(value, "seed");
    const unsigned long long seed = PyLong_AsUnsignedLongLong(number.ptr());
    if (PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        throw py::value_error("seed must lie in 0..18446744073709551615, got " +
                              py::repr(number).cast<std::string>());
    }
    return seed;
}

}  // namespace python
