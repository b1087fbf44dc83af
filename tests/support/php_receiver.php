<?php
// An upload receiver on PHP's own multipart parser, the one most upload servers run.
// Answers {"success":1} with what PHP made of the request: the Content-Type, every
// field of $_POST (values in hexadecimal, as they may be in any code page) and every file
// of $_FILES with its size and MD5.
$fields = [];
foreach ($_POST as $name => $value) {
    $fields[$name] = is_string($value) ? bin2hex($value) : null;
}
$files = [];
foreach ($_FILES as $name => $file) {
    $whole = is_string($file["tmp_name"]) && $file["error"] === UPLOAD_ERR_OK;
    $files[$name] = [
        "name" => bin2hex((string) $file["name"]),
        "error" => $file["error"],
        "size" => $file["size"],
        "md5" => $whole ? md5_file($file["tmp_name"]) : null,
    ];
}
header("Content-Type: application/json");
echo json_encode(["success" => 1, "content_type" => $_SERVER["CONTENT_TYPE"] ?? "",
                  "fields" => (object) $fields, "files" => (object) $files]);
