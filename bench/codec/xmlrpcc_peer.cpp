#include "xmlrpcc_peer.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace codecbench {

void XcEnv::check(const char* what) {
    if (!env_.fault_occurred)
        return;
    std::string text = std::string(what) + ": " + (env_.fault_string ? env_.fault_string : "?");
    xmlrpc_env_clean(&env_);
    xmlrpc_env_init(&env_);
    throw std::runtime_error(text);
}

void raiseXmlrpcLimits() {
    xmlrpc_limit_set(XMLRPC_NESTING_LIMIT_ID, 4096);
    xmlrpc_limit_set(XMLRPC_XML_SIZE_LIMIT_ID, size_t(256) << 20);
}

XcValue toXmlrpc(const Node& node) {
    XcEnv env;
    XcValue v;
    switch (node.kind) {
        case Node::Kind::Boolean:
            v.reset(xmlrpc_bool_new(env.get(), node.boolean));
            break;
        case Node::Kind::Int:
            v.reset(xmlrpc_int_new(env.get(), node.integer));
            break;
        case Node::Kind::Double:
            v.reset(xmlrpc_double_new(env.get(), node.real));
            break;
        case Node::Kind::String:
            v.reset(xmlrpc_string_new_lp(env.get(), node.bytes.size(), node.bytes.data()));
            break;
        case Node::Kind::DateTime: {
            xmlrpc_datetime dt{};
            dt.Y = node.time.year;
            dt.M = node.time.month;
            dt.D = node.time.day;
            dt.h = node.time.hour;
            dt.m = node.time.minute;
            dt.s = node.time.second;
            v.reset(xmlrpc_datetime_new(env.get(), dt));
            break;
        }
        case Node::Kind::Base64:
            v.reset(xmlrpc_base64_new(env.get(), node.bytes.size(),
                                      reinterpret_cast<const unsigned char*>(node.bytes.data())));
            break;
        case Node::Kind::Array:
            v.reset(xmlrpc_array_new(env.get()));
            env.check("array");
            for (const Node& e : node.elements) {
                XcValue item = toXmlrpc(e);
                xmlrpc_array_append_item(env.get(), v.get(), item.get());  // adds a reference
                env.check("append");
            }
            break;
        case Node::Kind::Struct:
            v.reset(xmlrpc_struct_new(env.get()));
            env.check("struct");
            for (const auto& m : node.members) {
                XcValue item = toXmlrpc(m.second);
                xmlrpc_struct_set_value(env.get(), v.get(), m.first.c_str(), item.get());
                env.check("member");
            }
            break;
        case Node::Kind::Nil:
            v.reset(xmlrpc_nil_new(env.get()));
            break;
    }
    env.check("building xmlrpc-c value");
    return v;
}

Node fromXmlrpc(xmlrpc_value* value) {
    XcEnv env;
    Node n;
    switch (xmlrpc_value_type(value)) {
        case XMLRPC_TYPE_BOOL: {
            xmlrpc_bool b = 0;
            xmlrpc_read_bool(env.get(), value, &b);
            n.kind = Node::Kind::Boolean;
            n.boolean = b != 0;
            break;
        }
        case XMLRPC_TYPE_INT: {
            int i = 0;
            xmlrpc_read_int(env.get(), value, &i);
            n.kind = Node::Kind::Int;
            n.integer = i;
            break;
        }
        case XMLRPC_TYPE_DOUBLE:
            n.kind = Node::Kind::Double;
            xmlrpc_read_double(env.get(), value, &n.real);
            break;
        case XMLRPC_TYPE_STRING: {
            size_t length = 0;
            const char* text = nullptr;
            xmlrpc_read_string_lp(env.get(), value, &length, &text);
            env.check("string");
            n.kind = Node::Kind::String;
            n.bytes.assign(text, length);
            std::free(const_cast<char*>(text));
            break;
        }
        case XMLRPC_TYPE_DATETIME: {
            xmlrpc_datetime dt{};
            xmlrpc_read_datetime(env.get(), value, &dt);
            n.kind = Node::Kind::DateTime;
            n.time = {int(dt.Y), int(dt.M), int(dt.D), int(dt.h), int(dt.m), int(dt.s)};
            break;
        }
        case XMLRPC_TYPE_BASE64: {
            size_t length = 0;
            const unsigned char* bytes = nullptr;
            xmlrpc_read_base64(env.get(), value, &length, &bytes);
            env.check("base64");
            n.kind = Node::Kind::Base64;
            n.bytes.assign(reinterpret_cast<const char*>(bytes), length);
            std::free(const_cast<unsigned char*>(bytes));
            break;
        }
        case XMLRPC_TYPE_ARRAY: {
            n.kind = Node::Kind::Array;
            const int count = xmlrpc_array_size(env.get(), value);
            for (int i = 0; i < count; ++i) {
                xmlrpc_value* raw = nullptr;
                xmlrpc_array_read_item(env.get(), value, i, &raw);
                env.check("array item");
                XcValue item(raw);
                n.elements.push_back(fromXmlrpc(item.get()));
            }
            break;
        }
        case XMLRPC_TYPE_STRUCT: {
            n.kind = Node::Kind::Struct;
            const int count = xmlrpc_struct_size(env.get(), value);
            for (int i = 0; i < count; ++i) {
                xmlrpc_value* rawKey = nullptr;
                xmlrpc_value* rawValue = nullptr;
                xmlrpc_struct_read_member(env.get(), value, i, &rawKey, &rawValue);
                env.check("struct member");
                XcValue key(rawKey), item(rawValue);
                n.members.emplace_back(fromXmlrpc(key.get()).bytes, fromXmlrpc(item.get()));
            }
            std::sort(n.members.begin(), n.members.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            break;
        }
        case XMLRPC_TYPE_NIL:
            n.kind = Node::Kind::Nil;
            break;
        default:
            throw std::runtime_error("unexpected xmlrpc-c value type");
    }
    env.check("reading xmlrpc-c value");
    return n;
}

XcValue xmlrpcDecodeResponse(const std::string& responseText) {
    XcEnv env;
    xmlrpc_value* result = nullptr;
    int faultCode = 0;
    const char* faultString = nullptr;
    xmlrpc_parse_response2(env.get(), responseText.data(), responseText.size(), &result, &faultCode,
                           &faultString);
    env.check("xmlrpc_parse_response2");
    if (faultString) {
        std::string text = faultString;
        std::free(const_cast<char*>(faultString));
        throw std::runtime_error("fault: " + text);
    }
    return XcValue(result);
}

std::string xmlrpcEncodeCall(const char* methodName, xmlrpc_value* paramArray) {
    XcEnv env;
    xmlrpc_mem_block* block = xmlrpc_mem_block_new(env.get(), 0);
    env.check("xmlrpc_mem_block_new");
    xmlrpc_serialize_call(env.get(), block, methodName, paramArray);
    std::string text(static_cast<const char*>(xmlrpc_mem_block_contents(block)),
                     xmlrpc_mem_block_size(block));
    xmlrpc_mem_block_free(block);
    env.check("xmlrpc_serialize_call");
    return text;
}

}  // namespace codecbench
