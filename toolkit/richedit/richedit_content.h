// What the rich-edit service serves, built into the program: the editor page, the RichEditClient
// script and jQuery 1.8.2 minified at build time. The bytes are served unchanged.
#pragma once

#include <string_view>

// The editor page (HTML5, CR LF line ends): loads "/web/jquery" and "/web/richeditclient", shows
// an empty contentEditable body and finally evaluates the inner HTML of the element with id
// 'load', which the embedding browser view may inject.
std::string_view EditorPage();
// Defines the global RichEditClient with getHtml(selector, hobj) and getText(selector, hobj), which
// post "hobj|content" to "/cmd/get/html" and "/cmd/get/text".
std::string_view RichEditClientScript();
// jQuery 1.8.2 as the build minified it. The program holds it deflated and inflates it on the first
// call; the view stays valid for the life of the process.
std::string_view MinifiedJQuery();
